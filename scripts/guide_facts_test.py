#!/usr/bin/env python3
"""The parsers of the guide's facts check: texts the code builds are found where the guide
quotes them, a text that only names another is not, a log call with its own text is, and the
custom view names only the table's events, as the guide shows it."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import guide_facts  # noqa: E402


def literals_of(code):
    with tempfile.NamedTemporaryFile("w", suffix=".cpp", delete=False, encoding="utf-8") as f:
        f.write(code)
    try:
        return guide_facts.literals(f.name)
    finally:
        os.unlink(f.name)


class GuideFacts(unittest.TestCase):
    def test_built_texts_match_the_guide_loosely(self):
        found = literals_of('a = "件名に「" + row.entry + "」があります";\n'
                            'f("送信後 %d 分間"\n  "保留されます\\n"); b = "x"; // "注"\n')
        self.assertEqual(["件名に「\x01」があります", "送信後 \x01 分間保留されます", "x"], found)
        loose = [guide_facts.loose(text) for text in found]
        self.assertIn(guide_facts.loose("件名に「社外秘」があります"), loose)
        self.assertIn(guide_facts.loose("送信後 5 分間保留されます"), loose)

    def test_quotes_nest_and_skip_code(self):
        text = "「件名に「社外秘」があります」と `「コード」`\n```\n「枠」\n```\n    「字下げ」\n「終」"
        self.assertEqual([(1, "件名に「社外秘」があります"), (6, "終")], guide_facts.quotes(text))

    def test_the_custom_view_names_only_known_events_and_is_the_guides_query(self):
        events = [dict(id="1001"), dict(id="2001")]
        guide = "    *[System[(EventID=1001\n      or EventID=2001)]]\n"
        cases = [("<Q><Select>*[System[(EventID=1001 or EventID=2001)]]</Select></Q>", 0),
                 ("<Q><Select>*[System[(EventID=1001 or EventID=2002)]]</Select></Q>", 2),
                 ("<Q><Select>*[System[(EventID=1001</Q>", 1)]
        for xml, problems in cases:
            with tempfile.NamedTemporaryFile("w", suffix=".xml", delete=False) as f:
                f.write(xml)
            try:
                self.assertEqual(problems, len(guide_facts.view_problems(f.name, guide, events)),
                                 xml)
            finally:
                os.unlink(f.name)


if __name__ == "__main__":
    unittest.main()
