#!/usr/bin/env python3
"""The text guide as Notepad shows it: the shipped guide passes the release check, and the
check fails on a line too wide, a forbidden break and text that is not Shift-JIS."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import guide_text  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def shipped(markdown, version="9.9.9.9"):
    return guide_text.encode(guide_text.convert(markdown, version), "test")


class ShippedGuide(unittest.TestCase):
    def test_the_guide_reads_in_notepad_with_addresses_and_rows_whole(self):
        with open(os.path.join(ROOT, "docs", "ja", "README.md"), encoding="utf-8") as guide:
            data = shipped(guide.read())
        self.assertEqual([], guide_text.problems(data))
        lines = data.decode("cp932").split("\r\n")
        self.assertIn("    https://github.com/tarnwyk/zvelmora/issues", lines)
        self.assertIn("| Option | CtrlBypass | 1 | 0 で Ctrl キーの送信も保留 |", lines)
        self.assertTrue(any(line.startswith("・InnerDomains：") for line in lines))

    def test_wrapping_keeps_words_whole_and_breaks_nowhere_forbidden(self):
        path = "C:\\Program Files (x86)\\Mail\\Plugins\\zVelmora.dll"
        words = "「保留」、（組織外）。" * 12 + " `" + path + "` " + "あ" * 50
        data = shipped("- " + words + "\n\n`5分` のように書くと、" + "い" * 40 + "。")
        self.assertEqual([], guide_text.problems(data))
        text = data.decode("cp932")
        self.assertIn(path, text)
        self.assertIn("5分のように", text)
        self.assertTrue(all(line.startswith("  ") for line in text.split("\r\n")[1:2]))


class ReleaseCheck(unittest.TestCase):
    def test_each_fault_is_named(self):
        self.assertIn("82 columns", guide_text.problems(("あ" * 41).encode("cp932"))[0])
        self.assertEqual([], guide_text.problems(("あ" * 40 + "\r\n" + "a" * 80).encode("cp932")))
        self.assertIn("starts with 。", guide_text.problems("あ\r\n。い".encode("cp932"))[0])
        self.assertIn("starts with 」", guide_text.problems("  ・」い".encode("cp932"))[0])
        self.assertIn("ends with （", guide_text.problems("あ（\r\nい".encode("cp932"))[0])
        self.assertIn("not Shift-JIS", guide_text.problems("あ".encode("utf-8"))[0])


if __name__ == "__main__":
    unittest.main()
