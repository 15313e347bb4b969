#!/usr/bin/env python3
"""The message file (.mc) for windmc, made from journal/event_list.h: one message per event,
its sentence above %1, the event's own text. Fails on any line of the list it cannot read, so
the message table and the code's table cannot drift apart.

Usage: event_mc.py journal/event_list.h OUT.mc
"""
import re
import sys

ROW = re.compile(r'ZV_EVENT\(\s*(\d+),\s*(Error|Warning|Information),\s*(\w+),\s*'
                 r'"((?:[^"\\\n]|\\.)*)"\s*\)')


def rows(path):
    text = re.sub(r"//[^\n]*", "", open(path, encoding="utf-8").read())
    leftover = ROW.sub("", text).strip()
    if leftover:
        sys.exit(f"{path}: not an event row: {leftover.splitlines()[0]}")
    found, ids = [], set()
    for match in ROW.finditer(text):
        event_id, level, name, sentence = match.groups()
        if int(event_id) in ids or not 0 < int(event_id) < 65536:
            sys.exit(f"{path}: event {event_id} repeated or out of range")
        ids.add(int(event_id))
        found.append((int(event_id), level, name, sentence.replace('\\"', '"')))
    if not found:
        sys.exit(f"{path}: no event")
    return found


def message_file(events):
    lines = ["LanguageNames=(Japanese=0x411:velmora_events)", ""]
    for event_id, _, name, sentence in events:
        # The event's text follows the sentence as its one insertion string.
        lines += [f"MessageId={event_id}", f"SymbolicName={name}", "Language=Japanese",
                  sentence.replace("%", "%%"), "%1", ".", ""]
    return "\r\n".join(lines)


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    text = message_file(rows(argv[1]))
    with open(argv[2], "w", encoding="utf-8", newline="") as out:
        out.write(text)


if __name__ == "__main__":
    main(sys.argv)
