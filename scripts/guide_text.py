#!/usr/bin/env python3
"""Turns the Japanese guide in Markdown into the plain text that ships beside the DLL:
Shift-JIS (CP932), CR LF, pictures left out, links reduced to their text (web links keep
their address), the version in the heading, every line at most 80 display columns (a
full-width character is two) as Notepad shows it, never broken before 。、」） or after 「（,
with words, addresses, paths and table rows kept whole.

Usage: guide_text.py GUIDE.md VERSION OUT.txt
       guide_text.py --check TEXT.txt      (the shipped text: width, breaks, Shift-JIS)
"""
import re
import sys

WIDTH = 80
IMAGE = re.compile(r"^\s*!\[[^\]]*\]\([^)]*\)\s*$")
LINK = re.compile(r"\[([^\]]+)\]\(([^)\s]+)\)")
HISTORY_HEADING = "## 変更履歴"
# A line may not start with these, nor end with the openers.
NO_START = "。、」）』，．・ー？！：；ぁぃぅぇぉっゃゅょァィゥェォッャュョ々"
NO_END = "「（『"
KEEP = "\u00a0"  # a blank inside a code span (a path, a setting): never a break
CHECKED_NO_START = "。、」）"
CHECKED_NO_END = "「（"


def columns(text):
    """Display columns as Notepad counts them: a double-byte character is two."""
    return sum(len(ch.encode("cp932", errors="replace")) for ch in text)


def wide(ch):
    return ch != "" and ord(ch) > 0x7F


def unmark(text, pattern):
    """Removes a mark; a blank beside it goes too when it would stand between two Japanese
    characters (Markdown needed it, the text does not)."""

    def plain(match):
        before = match.string[match.start() - 1] if match.start() > 0 else ""
        after = match.string[match.end()] if match.end() < len(match.string) else ""
        inner = match.group(2).replace(" ", KEEP) if "`" in pattern else match.group(2)
        lead = "" if wide(before) and wide(inner[0]) else match.group(1)
        trail = "" if wide(inner[-1]) and wide(after) else match.group(3)
        return lead + inner + trail

    return re.sub(r"( ?)" + pattern + r"( ?)", plain, text)


def plain_inline(text):
    def link(match):
        label, target = match.group(1), match.group(2)
        return f"{label} ({target})" if target.startswith(("http://", "https://")) else label

    text = LINK.sub(link, text)
    text = unmark(text, r"\*\*([^*]+)\*\*")
    return unmark(text, r"`([^`]+)`")


def atoms(text):
    """Pieces a line may break between: an ASCII word, or one other character. Each is
    (text, blank before). Pieces that must stay together are joined."""
    pieces = []
    blank = False
    for match in re.finditer(r" +|[!-~" + KEEP + r"]+|.", text):
        piece = match.group(0)
        if piece.startswith(" "):
            blank = True
            continue
        closing = piece[0] in NO_START or re.fullmatch(r"[.,:;!?)\]]+", piece)
        # A number stays with the word it counts: "5 分", "11 通".
        counted = pieces and pieces[-1][0][-1].isdigit() and wide(piece[0])
        joined = pieces and (counted or not blank and (closing or pieces[-1][0][-1] in NO_END))
        if joined:
            pieces[-1] = (pieces[-1][0] + (" " if blank else "") + piece, pieces[-1][1])
        else:
            pieces.append((piece, blank))
        blank = False
    return pieces


def wrap(line):
    """The line in lines of at most WIDTH columns; continuation lines keep the item's indent."""
    if columns(line) <= WIDTH:
        return [line]
    marker = re.match(r"^(\s*(?:・|\d+\. )?)", line).group(1)
    head, indent = marker, " " * columns(marker)
    lines, current = [], head
    for piece, blank in atoms(line[len(marker):]):
        gap = " " if blank and current.strip() else ""
        if current.strip() and columns(current + gap + piece) > WIDTH:
            lines.append(current.rstrip())
            current, gap = indent, ""
        current += gap + piece
    lines.append(current.rstrip())
    return lines


def plain_line(line, version, state):
    if line.startswith("```"):
        state["code"] = not state["code"]
        return None
    if state["code"]:
        return ("    " + line).rstrip()
    if line.startswith("    "):
        return line.rstrip()  # an indented code line, as written
    if IMAGE.match(line):
        return None
    if line.startswith("# "):
        title = f"{plain_inline(line[2:])}　バージョン {version}"
        return title + "\n" + "=" * 72
    if line.startswith("## "):
        return "■ " + plain_inline(line[3:])
    if line.startswith("### "):
        return "◆ " + plain_inline(line[4:])
    if line.startswith("|"):
        return plain_inline(line)  # a table row stays whole
    bullet = re.match(r"^(\s*)[-*] (.*)$", line)
    if bullet:
        lines = wrap(bullet.group(1) + "・" + plain_inline(bullet.group(2)))
    else:
        lines = wrap(plain_inline(line))
    return "\n".join(lines)


def history_names(markdown, version):
    section = markdown.split(HISTORY_HEADING, 1)
    return len(section) == 2 and re.search(r"^### " + re.escape(version) + r"\b", section[1], re.M)


def convert(markdown, version):
    state = {"code": False}
    lines = []
    for line in markdown.splitlines():
        text = plain_line(line.rstrip(), version, state)
        text = text.replace(KEEP, " ") if text is not None else None
        # A picture between two blank lines would leave two blank lines.
        if text is None or (text == "" and lines and lines[-1] == ""):
            continue
        lines.append(text)
    return "\n".join(lines).strip("\n") + "\n"


def problems(data):
    """What keeps the shipped text from reading well in Notepad, one message per fault."""
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as error:
        return [f"byte {error.start}: not Shift-JIS"]
    found = []
    for number, line in enumerate(text.split("\r\n"), 1):
        if columns(line) > WIDTH:
            found.append(f"line {number}: {columns(line)} columns, more than {WIDTH}")
        body = line.lstrip(" ・")
        if body and body[0] in CHECKED_NO_START:
            found.append(f"line {number}: starts with {body[0]}")
        if line and line[-1] in CHECKED_NO_END:
            found.append(f"line {number}: ends with {line[-1]}")
    return found


def encode(text, source):
    try:
        return text.replace("\n", "\r\n").encode("cp932")
    except UnicodeEncodeError as error:
        line = text.count("\n", 0, error.start) + 1
        sys.exit(f"{source}: {error.object[error.start]!r} (output line {line}) has no Shift-JIS form")


def main(argv):
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], "rb") as text:
            found = problems(text.read())
        for problem in found:
            print(f"{argv[2]}: {problem}", file=sys.stderr)
        sys.exit(1 if found else 0)
    if len(argv) != 4:
        sys.exit(__doc__)
    source, version, out = argv[1:]
    with open(source, encoding="utf-8") as guide:
        markdown = guide.read()
    if not history_names(markdown, version):
        sys.exit(f"{source}: the version history has no entry '### {version}'")
    data = encode(convert(markdown, version), source)
    found = problems(data)
    if found:
        sys.exit(f"{source}: the text guide does not read in Notepad:\n" + "\n".join(found))
    with open(out, "wb") as text:
        text.write(data)


if __name__ == "__main__":
    main(sys.argv)
