#!/usr/bin/env python3
"""The message file (.mc) for windmc, made from journal/event_list.h: one message per event,
its sentence above %1, the event's own text. Fails on any line of the list it cannot read, so
the message table and the code's table cannot drift apart.

Usage: event_mc.py journal/event_list.h OUT.mc
"""
import re
import sys

ROW = re.compile(r'^ZV_EVENT\((\d+), (Error|Warning|Information), (\w+), "((?:[^"\\]|\\.)*)"\)$')


def rows(path):
    found, ids = [], set()
    for number, line in enumerate(open(path, encoding="utf-8").read().splitlines(), 1):
        if not line.strip() or line.startswith("//"):
            continue
        match = ROW.match(line)
        if not match:
            sys.exit(f"{path}:{number}: not an event row: {line}")
        event_id, level, name, sentence = match.groups()
        if int(event_id) in ids or not 0 < int(event_id) < 65536:
            sys.exit(f"{path}:{number}: event {event_id} repeated or out of range")
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
