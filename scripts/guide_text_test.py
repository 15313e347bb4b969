#!/usr/bin/env python3
"""The text guide as Notepad shows it: the shipped guide passes the release check, wrapping
keeps paths whole and breaks nowhere forbidden, and the check names each fault."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import guide_text  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def shipped(markdown):
    return guide_text.encode(guide_text.convert(markdown, "9.9.9.9"), "test")


class GuideText(unittest.TestCase):
    def test_the_guide_and_a_hard_paragraph_read_in_notepad(self):
        with open(os.path.join(ROOT, "docs", "ja", "README.md"), encoding="utf-8") as guide:
            data = shipped(guide.read())
        self.assertEqual([], guide_text.problems(data))
        self.assertIn("| Option | CtrlBypass | 1 | 0 で Ctrl キーの送信も保留 |", data.decode("cp932"))
        path = "C:\\Program Files (x86)\\Mail\\Plugins\\zVelmora.dll"
        hard = "- " + "「保留」、（組織外）。" * 12 + " `" + path + "` " + "あ" * 50
        data = shipped(hard + "\n\n`5分` のように書くと、" + "い" * 40 + "。")
        self.assertEqual([], guide_text.problems(data))
        text = data.decode("cp932")
        self.assertIn(path, text)
        self.assertIn("5分のように", text)

    def test_the_release_check_names_each_fault(self):
        self.assertIn("82 columns", guide_text.problems(("あ" * 41).encode("cp932"))[0])
        self.assertEqual([], guide_text.problems(("あ" * 40 + "\r\n" + "a" * 80).encode("cp932")))
        self.assertIn("starts with 。", guide_text.problems("あ\r\n。い".encode("cp932"))[0])
        self.assertIn("starts with 」", guide_text.problems("  ・」い".encode("cp932"))[0])
        self.assertIn("ends with （", guide_text.problems("あ（\r\nい".encode("cp932"))[0])
        self.assertIn("not Shift-JIS", guide_text.problems("あ".encode("utf-8"))[0])


if __name__ == "__main__":
    unittest.main()
