#!/usr/bin/env python3
"""The facts of the Japanese guide, taken from the code.

Between markers in docs/ja/README.md:
  <!-- keys:begin --> ... <!-- keys:end -->  the table of keys, from the key table
                                             (native program key_table_dump);
  <!-- log:begin --> ... <!-- log:end -->    every line the operation log can write, with an
                                             example, from the functions that write them
                                             (native program log_catalogue);
  <!-- events:begin --> ... <!-- events:end -->  every event of the Windows Event Log with an
                                             example of its text, from the code's table
                                             (native program event_catalogue).
--check also fails when a log call in the product passes its own text instead of one made by
those functions, when the guide quotes in 「」 a text the product no longer has, and when the
Event Viewer's custom view (policy/zVelmora-events.xml) is not well-formed XML, names an event
the table lacks, or is not the query the guide shows.

Usage: guide_facts.py --write NATIVE_BUILD_DIR   (rewrites the blocks in the guide)
       guide_facts.py --check NATIVE_BUILD_DIR   (fails on any difference)
"""
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GUIDE = os.path.join(ROOT, "docs", "ja", "README.md")
VIEW = os.path.join(ROOT, "policy", "zVelmora-events.xml")
PRODUCT = ["support", "journal", "settings", "confirm", "delay", "plugin", "host", "lookalike",
           "setup", "ui", "holdlist"]
LEVELS = {"2": "レベル 2（エラー）", "6": "レベル 6（情報）", "8": "レベル 8（詳細）"}
EVENT_LEVELS = {"error": "エラー", "warning": "警告", "information": "情報"}

# A call that writes the log: the logic's three levels, the writers' own helpers and the
# writer itself. Its arguments may hold no text of their own but a printf format.
LOG_CALL = re.compile(r"\b(Log(?:Info|Error|Debug|Trouble|Decision|Event)?|Write|startLog\.\w+)\s*\(")
FORMAT_ONLY = re.compile(r'^"(?:%[a-z]+|\s)*"$')
# Files whose log calls never run in the plug-in: the zone writer is not called by it.
LOG_CALL_EXEMPT = {"support/mark_of_the_web.cpp": "not called by the plug-in"}

# Quotes the guide may hold that are no text of the product. Keep this short: each needs a
# reason.
QUOTE_ALLOWED = {
    "はい": "a button of the system's message box",
    "いいえ": "a button of the system's message box",
    "管理用テンプレート": "a folder of the system's Group Policy editor",
    "現状のまま": "the licence's words",
    "▲ example.co.jp に似ています": "the mark and the look-alike text are joined at run time",
    "▲ Bcc だけに社外の宛先があります": "the mark and the row's text are joined at run time",
    "アプリケーション": "the Event Viewer's log of applications",
    "全般": "a tab of the Event Viewer",
    "カスタム ビューのインポート": "a command of the Event Viewer",
}
# Past texts are what the version history is about.
HISTORY = "## 変更履歴"


def run(program):
    return subprocess.check_output([program]).decode("utf-8").splitlines()


def keys_of(build):
    keys = []
    for line in run(os.path.join(build, "key_table_dump")):
        (name, section, kind, default, low, high, choices, rule, safe, label,
         meaning) = line.split("|")
        keys.append(dict(name=name, section=section, kind=kind, default=default, low=int(low),
                         high=int(high), choices=choices, rule=rule, safe=safe, label=label,
                         meaning=meaning))
    return keys


def value_range(key):
    if key["kind"] != "int":
        return "カンマ区切りの一覧" if key["kind"] == "list" else "文字列"
    if key["choices"]:
        values = sorted(int(v) for v in key["choices"].split(","))
        if values != list(range(key["low"], key["high"] + 1)):
            return "、".join(str(v) for v in values)
    if key["high"] == key["low"] + 1:
        return f"{key['low']} か {key['high']}"
    return f"{key['low']}～{key['high']:,}"


def direction(key):
    rule = key["rule"]
    if rule == "higher":
        if key["high"] == key["low"] + 1:
            return f"{key['high']} にできる。{key['low']} にはできない"
        return "大きくできる。小さくはできない"
    if rule == "lower":
        return f"{key['low']} にできる。{key['high']} にはできない"
    if rule == "fewer-not-zero":
        return "少なくできる。多くや 0 にはできない"
    if rule == "ranked":
        return f"強くできる（{'＜'.join(key['choices'].split(','))}）。弱くはできない"
    if rule == "domain-list":
        return "ポリシーの一覧を使う（`AllowUserDomains`）"
    if rule == "word-union":
        return "ポリシーの語に利用者の語が加わる"
    if rule == "name-map":
        return "ポリシーの名前に利用者の名前が加わる。同じドメインはポリシーの名前"
    return "変えられない"


def keys_block(keys):
    lines = ["| キー | セクション | 既定値 | 値 | 内容 | ポリシーで決めたとき |",
             "|---|---|---|---|---|---|"]
    for key in keys:
        section = key["section"] or "（ポリシーだけ）"
        default = f"`{key['default']}`" if key["default"] else "（空）"
        lines.append(f"| `{key['name']}` | {section} | {default} | {value_range(key)} | "
                     f"{key['meaning']} | {direction(key)} |")
    safe = [f"`{k['name']}` は {k['safe']}" for k in keys if k["kind"] == "int" and k["section"]]
    lines += ["", "設定ファイルの数値に数字がない（`abc`、`on`、`no` など）ときは、誤送信の防止を"
              "弱めない値として読みます：" + "、".join(safe) + "。"]
    return lines


def log_block(build):
    entries = [line.split("|", 2) for line in run(os.path.join(build, "log_catalogue"))]
    lines = []
    for level, title in LEVELS.items():
        items = []
        for entry_level, example, when in entries:
            if entry_level != level:
                continue
            if items and items[-1][1] == when:
                items[-1][0].append(example)
            else:
                items.append(([example], when))
        lines += ["", f"**{title}**", ""]
        # Items apart: an example wider than a line breaks inside its code span.
        for examples, when in items:
            lines += [f"- {when}：" + "、".join(f"`{e}`" for e in examples), ""]
    return lines[1:-1]


def events_of(build):
    """The events in the table's order, each with the lines of its example."""
    events = []
    for line in run(os.path.join(build, "event_catalogue")):
        event_id, level, sentence, example = line.split("|", 3)
        if events and events[-1]["id"] == event_id:
            events[-1]["examples"].append(example)
        else:
            events.append(dict(id=event_id, level=level, sentence=sentence, examples=[example]))
    return events


def events_block(events):
    lines = []
    for level, title in EVENT_LEVELS.items():
        lines += ["", f"**{title}**", ""]
        for event in (e for e in events if e["level"] == level):
            examples = "、".join(f"`{example}`" for example in event["examples"])
            lines += [f"- {event['id']}：{event['sentence']}例：{examples}", ""]
    return lines[1:-1]


def view_problems(view, markdown, events):
    """The custom view: well-formed, one query, only events of the table, the guide's query."""
    try:
        selects = ElementTree.parse(view).getroot().findall(".//Select")
    except ElementTree.ParseError as error:
        return [f"{view}: not well-formed XML: {error}"]
    if len(selects) != 1:
        return [f"{view}: {len(selects)} Select elements, expected one"]
    query = selects[0].text or ""
    known = {event["id"] for event in events}
    named = re.findall(r"EventID\s*=\s*(\d+)", query)
    found = [f"{view}: EventID={n} is no event of the table" for n in named if n not in known]
    if not named:
        found.append(f"{view}: names no event")
    if " ".join(query.split()) not in " ".join(markdown.split()):
        found.append(f"{GUIDE}: does not show the custom view's query as it is in {view}")
    return found


def blocks(build):
    return {"keys": keys_block(keys_of(build)), "log": log_block(build),
            "events": events_block(events_of(build))}


def replaced(markdown, name, body):
    begin, end = f"<!-- {name}:begin -->", f"<!-- {name}:end -->"
    pattern = re.compile(re.escape(begin) + r"\n.*?" + re.escape(end), re.S)
    if len(pattern.findall(markdown)) != 1:
        raise SystemExit(f"{GUIDE}: expected one {begin} ... {end}")
    return pattern.sub(lambda _: begin + "\n" + "\n".join(body) + "\n" + end, markdown)


def literals(path):
    """The file's string literals; adjacent ones joined, pieces joined across a short
    expression ("a" + x + "b") with \\x01 standing for what the expression adds."""
    text = open(path, encoding="utf-8").read()
    text = re.sub(r"//[^\n]*", "", text)
    found, current, last_end = [], None, 0
    for match in re.finditer(r'"((?:[^"\\\n]|\\.)*)"', text):
        between = text[last_end:match.start()]
        piece = re.sub(r"\\n", "", match.group(1)).replace('\\"', '"').replace("\\\\", "\\")
        piece = re.sub(r"%[-0-9]*l?[dsuzx]", "\x01", piece)
        if current is not None and between.strip() == "":
            current += piece
        elif current is not None and re.fullmatch(r"\s*\+[^;{}\"]{1,80}\+\s*", between):
            current += "\x01" + piece
        else:
            if current is not None:
                found.append(current)
            current = piece
        last_end = match.end()
    if current is not None:
        found.append(current)
    return found


def product_files(suffixes):
    for folder in PRODUCT:
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            if name.endswith(suffixes):
                yield f"{folder}/{name}"


def stray_log_texts():
    """Log calls in the product that pass a text of their own."""
    found = []
    for name in product_files((".cpp", ".h")):
        if name in LOG_CALL_EXEMPT:
            continue
        text = open(os.path.join(ROOT, name), encoding="utf-8").read()
        for match in LOG_CALL.finditer(text):
            depth, at = 1, match.end()
            while depth and at < len(text):
                depth += {"(": 1, ")": -1}.get(text[at], 0)
                at += 1
            arguments = text[match.end():at - 1]
            for literal in re.findall(r'"(?:[^"\\\n]|\\.)*"', arguments):
                if not FORMAT_ONLY.match(literal):
                    line = text.count("\n", 0, match.start()) + 1
                    found.append(f"{name}:{line}: log text {literal} not made by a log text "
                                 "function")
    return found


def resource_texts():
    text = open(os.path.join(ROOT, "res", "zVelmora.rc"), encoding="utf-8").read()
    texts = []
    for literal in re.findall(r'"((?:[^"\n]|"")*)"', text):
        shown = literal.replace('""', '"').replace("\\n", "").replace("&&", "\0")
        texts.append(shown.replace("&", "").replace("\0", "&"))
    return texts


def quotes(markdown):
    """Every 「…」 of the guide outside code, with its nested quotes."""
    found = []
    fenced = False
    for number, line in enumerate(markdown.splitlines(), 1):
        if line.startswith("```"):
            fenced = not fenced
        if fenced or line.startswith("    ") or line.startswith("<!--"):
            continue
        line = re.sub(r"`[^`]*`", "", line)
        depth, start = 0, 0
        for at, ch in enumerate(line):
            if ch == "「":
                if depth == 0:
                    start = at + 1
                depth += 1
            elif ch == "」" and depth:
                depth -= 1
                if depth == 0:
                    found.append((number, line[start:at]))
    return found


def loose(text):
    """A text with what varies between uses blanked: numbers and versions, placeholders in
    brackets, after a name or as an ellipsis, inner quotes."""
    text = re.sub(r"「[^「」]*」", "「\x01」", text)
    text = re.sub(r"\[[^\]]*\]", "[", text)
    text = re.sub(r"\bN\b|[0-9]+(?:\.[0-9]+)*|\.\.\.|…", "\x01", text)
    return text.replace("バージョン番号", "\x01")


def stale_quotes(markdown, catalogue):
    adml = open(os.path.join(ROOT, "policy", "ja-JP", "zVelmora.adml"), encoding="utf-8").read()
    corpus = resource_texts() + catalogue + re.findall(r">([^<>]+)<", adml)
    for name in product_files((".cpp", ".h")):
        corpus += literals(os.path.join(ROOT, name))
    # A text that quotes another (「ヘルプ(H)」で開く) names it; it is not that text.
    corpus = [re.sub(r"「[^「」\x01]+」", "「」", text) for text in corpus]
    # A quote may name a part of the guide: a heading, a paragraph's bold lead, a table column.
    corpus += re.findall(r"^#+ (.*)$", markdown, re.M) + re.findall(r"\*\*([^*]+)\*\*", markdown)
    for head in re.findall(r"^(\|.*)\n\|[-|: ]+\|$", markdown, re.M):
        corpus += [cell.strip() for cell in head.strip("|").split("|")]
    markdown = markdown.split(HISTORY)[0]
    exact = "\n".join(corpus)
    blank = "\n".join(loose(text) for text in corpus)
    found = []
    for number, quote in quotes(markdown):
        if quote in QUOTE_ALLOWED or quote in exact:
            continue
        if loose(quote) in blank:
            continue
        found.append(f"{GUIDE}:{number}: 「{quote}」 is in no resource, product text or log line")
    return found


def main(argv):
    if len(argv) != 3 or argv[1] not in ("--write", "--check"):
        sys.exit(__doc__)
    build = argv[2]
    markdown = open(GUIDE, encoding="utf-8").read()
    made = markdown
    for name, body in blocks(build).items():
        made = replaced(made, name, body)
    if argv[1] == "--write":
        with open(GUIDE, "w", encoding="utf-8") as guide:
            guide.write(made)
        return
    problems = []
    if made != markdown:
        old, new = markdown.splitlines(), made.splitlines()
        first = next((n for n, (a, b) in enumerate(zip(old, new)) if a != b), min(len(old), len(new)))
        problems.append(f"{GUIDE}:{first + 1}: differs from the code's facts "
                        f"(run guide_facts.py --write): {old[first] if first < len(old) else ''!r}"
                        f" should be {new[first] if first < len(new) else ''!r}")
    problems += stray_log_texts()
    catalogue = [line.split("|")[1] for line in run(os.path.join(build, "log_catalogue"))]
    events = events_of(build)
    catalogue += [event["sentence"] for event in events]
    problems += stale_quotes(markdown, catalogue)
    problems += view_problems(VIEW, markdown, events)
    for problem in problems:
        print(problem, file=sys.stderr)
    print(f"guide facts: {len(problems)} problem(s)")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main(sys.argv)
