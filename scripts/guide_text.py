#!/usr/bin/env python3
"""Turns the Japanese guide in Markdown into the plain text that ships beside the DLL:
Shift-JIS (CP932), CR LF, pictures and comment lines left out, links reduced to their text (web links keep
their address), the version in the heading, every line at most 80 display columns (a
full-width character is two) as Notepad shows it, never broken before 。、」） or after 「（,
with words, addresses and paths kept whole. Code spans keep their backquotes: the text already
uses 「」 for labels and quoted messages, and a backquote is one column that never belongs to
what the reader types. A label, a quote or a code span stays on one line (Notepad's search
finds it) unless it alone is wider than a line; a paragraph never ends on a line of one or two
characters; tables become columns aligned by display width, their cells wrapped when needed.

Usage: guide_text.py GUIDE.md VERSION OUT.txt
       guide_text.py --check TEXT.txt      (the shipped text: width, breaks, Shift-JIS, labels
                                           on one line, no lone last characters, no raw table)
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
# Kept on one line: a code span, a label or quoted message (one level of quotes inside), a quote.
SPAN = re.compile(r"`[^`]+`|「(?:[^「」]|「[^「」]*」)*」|『[^『』]*』|\"[^\"]*\"|“[^”]*”")
PIECE = re.compile(r" +|[!-~" + KEEP + r"]+|.")
SHORTEST_LAST = 3  # characters on a paragraph's last line
GAP = "  "  # between table columns
NARROWEST = 16  # columns a wrapped table cell keeps; below that the table becomes a list


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
        inner = match.group(2)
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
    return re.sub(r"`[^`]+`", lambda code: code.group(0).replace(" ", KEEP), text)


def atoms(text, room=WIDTH):
    """Pieces a line may break between: an ASCII word, a span no wider than room, or one other
    character. Each is (text, blank before). Pieces that must stay together are joined."""
    pieces = []
    blank = False
    at = 0
    while at < len(text):
        match = SPAN.match(text, at)
        if not match or columns(match.group(0)) > room:
            match = PIECE.match(text, at)
        piece, at = match.group(0), match.end()
        if piece.startswith(" "):
            blank = True
            continue
        closing = piece[0] in NO_START or re.fullmatch(r"[.,:;!?)\]]+", piece)
        # A number stays with the word it counts: "5 分", "11 通".
        counted = pieces and pieces[-1][0][-1].isdigit() and wide(piece[0])
        joined = pieces and (counted or closing or not blank and pieces[-1][0][-1] in NO_END)
        if joined:
            pieces[-1] = (pieces[-1][0] + (" " if blank else "") + piece, pieces[-1][1])
        else:
            pieces.append((piece, blank))
        blank = False
    return pieces


def joined(pieces):
    return "".join((" " if blank and n else "") + piece for n, (piece, blank) in enumerate(pieces))


def short(line):
    """A line of one or two characters: the end of a paragraph left alone, hard to read."""
    return 0 < len(line.strip(" ・")) < SHORTEST_LAST


def fill(text, width, head="", indent="", loose=False):
    """Text in lines of at most width columns, the first after head, the others after indent.
    Loose (a narrow table cell): a line rather ends after 、 or 。 past its first third."""
    room = width - columns(indent)
    pieces = []
    for piece, blank in atoms(text, room):
        if columns(piece) > room:  # a span with its brackets wider than a line: break inside
            inner = atoms(piece, 0)
            pieces += [(inner[0][0], blank)] + inner[1:]
        else:
            pieces.append((piece, blank))
    lines = [[]]
    for piece in pieces:
        line = lines[-1]
        prefix = indent if len(lines) > 1 else head
        if line and columns(prefix + joined(line + [piece])) > width:
            cut = len(line)
            stops = [n for n, (done, _) in enumerate(line, 1) if done[-1] in "、。"]
            if loose and stops and columns(prefix + joined(line[: stops[-1]])) > width // 3:
                if columns(indent + joined(line[stops[-1] :] + [piece])) <= width:
                    cut = stops[-1]
            lines[-1], line = line[:cut], line[cut:]
            lines.append(line)
        line.append(piece)
    # One or two characters alone on a line (the last, or one before a long label): bring
    # pieces down from the line above.
    for above, line in zip(lines, lines[1:]):
        while len(above) > 1 and short(joined(line)):
            if columns(indent + joined(above[-1:] + line)) > width:
                break
            line.insert(0, above.pop())
    return [(indent if n else head) + joined(line) for n, line in enumerate(lines)]


def wrap(line):
    """The line in lines of at most WIDTH columns; continuation lines keep the item's indent."""
    if columns(line) <= WIDTH:
        return [line]
    marker = re.match(r"^(\s*(?:・|\d+\. )?)", line).group(1)
    return fill(line[len(marker):], WIDTH, marker, " " * columns(marker))


def cells(row):
    """A Markdown table row's cells as plain text; a pipe inside a cell is written \\|."""
    inner = row.strip()
    inner = inner[1:] if inner.startswith("|") else inner
    inner = inner[:-1] if inner.endswith("|") and not inner.endswith("\\|") else inner
    split = re.split(r"(?<!\\)\|", inner)
    return [plain_inline(cell.strip().replace("\\|", "|")) for cell in split]


def table(rows):
    """Markdown table rows as columns aligned by display width. Too wide for a line, the widest
    column that can still give is narrowed and its cells wrap; a table that cannot fit even so
    becomes one item per row."""
    grid = [cells(row) for row in rows]
    grid = [row for row in grid if not all(re.fullmatch(r":?-+:?", cell) for cell in row)]
    count = max(len(row) for row in grid)
    grid = [row + [""] * (count - len(row)) for row in grid]
    widths = [max(columns(row[n]) for row in grid) for n in range(count)]
    # A column is never narrower than its widest unbreakable piece, nor too narrow to read.
    pieces = [[columns(p) for row in grid for p, _ in atoms(row[n])] for n in range(count)]
    least = [max(pieces[n] + [min(widths[n], NARROWEST)]) for n in range(count)]
    while sum(widths) + columns(GAP) * (count - 1) > WIDTH:
        giving = [n for n in range(count) if widths[n] > least[n]]
        if not giving:
            lines = []
            for row in grid[1:]:
                lines += wrap("・" + row[0])
                for name, cell in zip(grid[0][1:], row[1:]):
                    lines += wrap(f"  {name}：{cell}")
            return lines
        widths[max(giving, key=lambda n: widths[n])] -= 1
    lines = []
    for number, row in enumerate(grid):
        parts = [fill(cell, width, loose=True) for cell, width in zip(row, widths)]
        for k in range(max(map(len, parts))):
            texts = [part[k] if k < len(part) else "" for part in parts]
            padded = [text + " " * (width - columns(text)) for text, width in zip(texts, widths)]
            lines.append(GAP.join(padded).rstrip())
        if number == 0:
            lines.append(GAP.join("-" * width for width in widths))
    return lines


def plain_line(line, version, state):
    if line.startswith("```"):
        state["code"] = not state["code"]
        return None
    if state["code"]:
        return ("    " + line).rstrip()
    if line.startswith("    "):
        return line.rstrip()  # an indented code line, as written
    if IMAGE.match(line) or re.fullmatch(r"<!--.*-->", line):
        return None
    if line.startswith("# "):
        title = f"{plain_inline(line[2:])}　バージョン {version}"
        return title + "\n" + "=" * 72
    if line.startswith("## "):
        return "■ " + plain_inline(line[3:])
    if line.startswith("### "):
        return "◆ " + plain_inline(line[4:])
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
    lines, rows = [], []

    def add(text):
        text = text.replace(KEEP, " ") if text is not None else None
        # A picture between two blank lines would leave two blank lines.
        if text is None or (text == "" and lines and lines[-1] == ""):
            return
        lines.append(text)

    for line in markdown.splitlines() + [""]:
        if line.startswith("|") and not state["code"]:
            rows.append(line.rstrip())
            continue
        if rows:
            add("\n".join(table(rows)))
            rows = []
        add(plain_line(line.rstrip(), version, state))
    return "\n".join(lines).strip("\n") + "\n"


def open_span(text):
    """Where the first label, quote or code span that the text leaves open begins, or None."""
    stack = []
    for at, ch in enumerate(text):
        if stack and stack[-1][1] == "`":
            if ch == "`":
                stack.pop()
        elif ch in "「『`":
            stack.append((at, ch))
        elif stack and ch == {"「": "」", "『": "』"}[stack[-1][1]]:
            stack.pop()
    return stack[0][0] if stack else None


def broken_span(lines, number):
    """The span that lines[number] leaves open and a later line closes, if it would have fitted
    on one line together with the brackets and stops that cling to it; None otherwise."""
    opener = open_span(lines[number])
    if opener is None:
        return None
    start = opener
    while start > 0 and lines[number][start - 1] in NO_END:
        start -= 1
    text, room = lines[number][start:], WIDTH
    for later in lines[number + 1 :]:
        if not later.strip():
            return None  # never closed: a stray bracket, not a label
        text += later.strip()
        room = WIDTH - (len(later) - len(later.lstrip(" ")))
        if open_span(text) is None:
            break
    else:
        return None
    end = next(k for k in range(opener - start + 1, len(text) + 1) if open_span(text[:k]) is None)
    while end < len(text) and (text[end] in NO_START or text[end] in ".,:;!?)]"):
        end += 1
    return text[:end] if columns(text[:end]) <= room else None


def problems(data):
    """What keeps the shipped text from reading well in Notepad, one message per fault."""
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as error:
        return [f"byte {error.start}: not Shift-JIS"]
    found = []
    lines = text.split("\r\n")
    for number, line in enumerate(lines, 1):
        if columns(line) > WIDTH:
            found.append(f"line {number}: {columns(line)} columns, more than {WIDTH}")
        body = line.lstrip(" ・")
        if body and body[0] in CHECKED_NO_START:
            found.append(f"line {number}: starts with {body[0]}")
        if line and line[-1] in CHECKED_NO_END:
            found.append(f"line {number}: ends with {line[-1]}")
        if line.startswith("|"):
            found.append(f"line {number}: a table row left as Markdown")
        span = broken_span(lines, number - 1)
        if span:
            found.append(f"line {number}: {span} broken across lines")
        item = re.match(r"\s*(・|\d+\. )", line)
        if number > 1 and lines[number - 2].strip() and not item and short(line):
            found.append(f"line {number}: only {line.strip()} on the paragraph's last line")
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
