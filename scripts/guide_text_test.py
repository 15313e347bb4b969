#!/usr/bin/env python3
"""The text guide as Notepad shows it: the shipped guide passes the release check, wrapping
keeps paths, labels and code spans whole, leaves no line of one or two characters, tables
become aligned columns, and the check names each fault."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import guide_text  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def shipped(markdown):
    return guide_text.encode(guide_text.convert(markdown, "9.9.9.9"), "test")


def column_of(line, text):
    return guide_text.columns(line[: line.index(text)])


class GuideText(unittest.TestCase):
    def test_the_guide_and_a_hard_paragraph_read_in_notepad(self):
        with open(os.path.join(ROOT, "docs", "ja", "README.md"), encoding="utf-8") as guide:
            data = shipped(guide.read())
        self.assertEqual([], guide_text.problems(data))
        lines = data.decode("cp932").splitlines()
        # The table of keys is too wide for columns: one item per key, a field a line.
        item = lines.index("・`CtrlBypass`")
        self.assertEqual(["  セクション：Option", "  既定値：`1`"], lines[item + 1 : item + 3])
        path = "C:\\Program Files (x86)\\Mail\\Plugins\\zVelmora.dll"
        hard = "- " + "「保留」、（組織外）。" * 12 + " `" + path + "` " + "あ" * 50
        label = "あ" * 35 + "「保留メールの確認...」を選びます。「" + "え" * 45 + "」。"
        wide = "| キー | 説明 |\n|---|---|\n| `A B` | " + "長い説明、" * 12 + "`x` |\n| C | 短い |"
        address = "https://example.com/" + "x" * 20
        narrow = "| a | b | c |\n|-|-|-|\n| " + " | ".join([address] * 3) + " |"
        stop = "あ" * 38 + "`a` 、いう。"  # the stop after a blank stays with `a`
        text = f"`5分` のように、{'い' * 32}う。\n\n{label}\n\n{stop}\n\n{narrow}\n\n{wide}"
        data = shipped(hard + "\n\n" + text)
        self.assertEqual([], guide_text.problems(data))
        lines = data.decode("cp932").splitlines()
        self.assertTrue(any("`" + path + "`" in line for line in lines))
        self.assertTrue(any(line.startswith("`5分` のように、") for line in lines))
        self.assertIn("いう。", lines)  # not う。 alone
        self.assertTrue(any(line.startswith("「保留メールの確認...」") for line in lines))
        self.assertIn("  c：" + address, lines)  # three such columns have no room side by side
        table = lines[lines.index(next(line for line in lines if line.startswith("キー"))) :]
        value = column_of(table[0], "説明")
        firsts = [line.split("  ")[0] for line in table[2:] if not line.startswith(" ")]
        self.assertEqual(["`A B`", "C"], firsts)
        self.assertEqual(value, column_of(table[2], "長い"))
        self.assertEqual(5, len(table))  # the long cell wraps inside its column
        for line in table[3:-1]:
            self.assertEqual(value, len(line) - len(line.lstrip(" ")), line)
        self.assertTrue(table[-2].endswith("`x`"))

    def test_the_release_check_names_each_fault(self):
        self.assertIn("82 columns", guide_text.problems(("あ" * 41).encode("cp932"))[0])
        self.assertEqual([], guide_text.problems(("あ" * 40 + "\r\n" + "a" * 80).encode("cp932")))
        self.assertIn("starts with 。", guide_text.problems("あ\r\n。い".encode("cp932"))[0])
        self.assertIn("starts with 」", guide_text.problems("  ・」い".encode("cp932"))[0])
        self.assertIn("ends with （", guide_text.problems("あ（\r\nい".encode("cp932"))[0])
        self.assertIn("not Shift-JIS", guide_text.problems("あ".encode("utf-8"))[0])
        for text, fault in [
            ("あ" * 30 + "「保留メールの確\r\n認...」", "line 1: 「保留メールの確認...」 broken across lines"),
            ("・（`Ctrl\r\n  Bypass=0`）。", "line 1: （`CtrlBypass=0`）。 broken across lines"),
            ("「" + "あ" * 39 + "\r\n" + "い" * 5 + "」", None),  # wider than a line alone
            ("あ" * 40 + "\r\nい。", "line 2: only い。 on the paragraph's last line"),
            ("あ" * 40 + "\r\n・い\r\n\r\nう", None),
            ("| a | b |", "line 1: a table row left as Markdown"),
        ]:
            self.assertEqual([fault] if fault else [], guide_text.problems(text.encode("cp932")))


if __name__ == "__main__":
    unittest.main()
