#!/usr/bin/env python3
"""The Group Policy templates and the sample .reg file against the plug-in's key table.

Usage: check-policy-templates.py <key_table_dump> <policy folder>
Fails when a template is no well-formed XML, a policy names a value the plug-in does not read
or with another type or range, a key of the table has no policy, a text the templates refer to
is missing from a language, or the sample sets a value the plug-in does not read as written.
And on what an administrator would click wrong: an on/off key that is no policy of its own with
an enabled and a disabled value, or whose 有効 is not the guard; a policy named for a guard
whose 無効 writes nothing, so that it equals 未構成; a list whose default is its weakest item;
a text that is not required; an explanation without one line saying what 有効, 無効 and 未構成
do; an example log path that no scenario runs and sees written.
"""
import glob
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
KEY = r"Software\Policies\Tarnwyk\Velmora"
# A Japanese policy name that ends in a verb promises what 有効 does: a guard.
PROMISES = re.compile(r"(する|させる|限る)$")
STATES = {"ja-JP": ("有効：", "無効：", "未構成："),
          "en-US": ("Enabled:", "Disabled:", "Not configured:")}
LOG_EXAMPLE = re.compile(r"(?:%[A-Z]+%|[A-Z]:)\\[^\s`\"）)<]*\.log")
errors = []


def fail(text):
    errors.append(text)


def table(dump):
    keys = {}
    for line in subprocess.check_output([dump]).decode().splitlines():
        name, section, kind, default, low, high, choices, rule = line.split("|")[:8]
        values = None
        if kind == "int":
            if choices:
                values = set(choices.split(","))
            elif (low, high) == ("0", "1"):
                values = {"0", "1"}
        weakest = choices.split(",")[0] if choices else None
        strongest = {"higher": high, "lower": low}.get(rule)
        keys[name] = dict(kind=kind, low=int(low), high=int(high), values=values, default=default,
                          rule=rule, weakest=weakest, strongest=strongest)
    return keys


def parse(path):
    try:
        return ET.parse(path).getroot()
    except (ET.ParseError, OSError) as error:
        fail(f"{path}: {error}")
        return None


def check_switch(policy, name, key, value):
    """An on/off key: a policy of its own whose 有効 writes the guard and 無効 the other value."""
    written = {}
    for state in ("enabledValue", "disabledValue"):
        number = policy.find(f"p:{state}/p:decimal", NS)
        written[state] = number.get("value") if number is not None else None
    if written["disabledValue"] is None:
        fail(f"policy {name}: 無効 writes nothing, so it equals 未構成")
    elif None in written.values() or set(written.values()) != key["values"]:
        fail(f"policy {name}: enabled {written['enabledValue']}, disabled "
             f"{written['disabledValue']}, the plug-in takes {sorted(key['values'])}")
    elif key["strongest"] is not None and written["enabledValue"] != key["strongest"]:
        fail(f"policy {name}: enabled writes {value}={written['enabledValue']}, not the guard "
             f"{key['strongest']}")


def check_admx(root, keys):
    seen = {}
    strings, presentations = set(), set()
    defaults, silent = {}, set()
    for policy in root.iterfind(".//p:policy", NS):
        name = policy.get("name")
        if policy.get("key") != KEY:
            fail(f"policy {name}: key {policy.get('key')}")
        strings.update(re.findall(r"\$\(string\.(\w+)\)", ET.tostring(policy).decode()))
        presentations.update(re.findall(r"\$\(presentation\.(\w+)\)", policy.get("presentation", "")))
        elements = list(policy.find("p:elements", NS) or [])
        if policy.get("valueName") and not elements:
            value = policy.get("valueName")
            seen[value] = seen.get(value, 0) + 1
            key = keys.get(value)
            if key is None:
                fail(f"policy {name}: value {value} is no key the plug-in reads")
            elif key["kind"] != "int" or key["values"] != {"0", "1"}:
                fail(f"policy {name}: on/off for {value}, which is no switch")
            else:
                check_switch(policy, name, key, value)
            continue
        if len(elements) != 1:
            fail(f"policy {name}: {len(elements)} elements, expected one")
            continue
        element = elements[0]
        value = element.get("valueName")
        kind = element.tag.split("}")[1]
        seen[value] = seen.get(value, 0) + 1
        key = keys.get(value)
        if key is None:
            fail(f"policy {name}: value {value} is no key the plug-in reads")
            continue
        if element.get("required") != "true":
            fail(f"policy {name}: {kind} {value} is not required")
        if policy.find("p:disabledValue", NS) is None:
            silent.add(name)
        if key["kind"] != "int":
            # A list may also be typed one entry a line, which Windows stores as REG_MULTI_SZ.
            if kind != "text" and not (kind == "multiText" and key["kind"] == "list"):
                fail(f"policy {name}: {kind} for the text key {value}")
        elif key["values"] == {"0", "1"}:
            fail(f"policy {name}: the switch {value} is a {kind}, not an on/off policy")
        elif key["values"] is not None:
            items = [d.get("value") for d in element.iterfind(".//p:decimal", NS)]
            if kind != "enum" or set(items) != key["values"]:
                fail(f"policy {name}: {kind} {sorted(items)}, the plug-in takes {sorted(key['values'])}")
            elif key["rule"] == "ranked":
                defaults[name] = (items, key["weakest"])
        elif kind != "decimal" or (int(element.get("minValue", "0")), int(element.get("maxValue", "-1"))) != (key["low"], key["high"]):
            fail(f"policy {name}: {kind} {element.get('minValue')}..{element.get('maxValue')}, "
                 f"the plug-in takes {key['low']}..{key['high']}")
    for name in keys:
        if seen.get(name) != 1:
            fail(f"key {name}: {seen.get(name, 0)} policies, expected one")
    for category in root.iterfind(".//p:category", NS):
        strings.update(re.findall(r"\$\(string\.(\w+)\)", category.get("displayName", "")))
    return strings, presentations, defaults, silent


def check_adml(path, root, strings, presentations, defaults, silent, language, category):
    table_ids = {s.get("id"): s.text or "" for s in root.iterfind(".//p:string", NS)}
    for name in strings - set(table_ids):
        fail(f"{path}: no string {name}")
    shown = {p.get("id"): p for p in root.iterfind(".//p:presentation", NS)}
    for name in presentations:
        if name not in shown:
            fail(f"{path}: no presentation {name}")
            continue
        refs = {c.get("refId") for c in shown[name]}
        if refs != {name}:
            fail(f"{path}: presentation {name} refers to {sorted(refs)}")
    if category is not None and table_ids.get("Category_Velmora") != category:
        fail(f"{path}: category {table_ids.get('Category_Velmora')!r}")
    for name, text in table_ids.items():
        if name.endswith("_Help") and not any(all(state in line for state in STATES[language])
                                              for line in text.splitlines()):
            fail(f"{path}: {name} has no line saying what {', '.join(STATES[language])} do")
    for name in silent:
        if language == "ja-JP" and PROMISES.search(table_ids.get(name, "")):
            fail(f"{path}: 「{table_ids[name]}」 promises a guard, but 無効 writes nothing and "
                 "equals 未構成")
    for name, (items, weakest) in defaults.items():
        dropdown = shown.get(name)
        chosen = dropdown[0].get("defaultItem") if dropdown is not None and len(dropdown) else None
        if chosen is None or not chosen.isdigit() or int(chosen) >= len(items) or items[int(chosen)] == weakest:
            fail(f"{path}: the list {name} defaults to its weakest item (defaultItem {chosen})")


def check_reg(path, keys):
    text = reg_text(path)
    for line in text.splitlines():
        match = re.match(r'^"(\w+)"=(dword:([0-9a-fA-F]{8})|"(.*)")$', line)
        if not match:
            continue
        name, dword, text_value = match.group(1), match.group(3), match.group(4)
        key = keys.get(name)
        if key is None:
            fail(f"{path}: {name} is no key the plug-in reads")
        elif (key["kind"] == "int") != (dword is not None):
            fail(f"{path}: {name} has the wrong type")
        elif dword is not None:
            number = int(dword, 16)
            ok = str(number) in key["values"] if key["values"] else key["low"] <= number <= key["high"]
            if not ok:
                fail(f"{path}: {name}={number} is out of range")


def reg_text(path):
    data = open(path, "rb").read()
    return data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode("utf-8")


def check_log_examples(folder):
    """Every example log path an administrator may copy is one a scenario writes and reads."""
    root = os.path.dirname(os.path.abspath(folder))
    texts = {path: open(path, encoding="utf-8").read()
             for path in glob.glob(f"{folder}/*/zVelmora.adml") + [f"{root}/docs/ja/README.md"]}
    texts[f"{folder}/zVelmora-policy-sample.reg"] = reg_text(
        f"{folder}/zVelmora-policy-sample.reg").replace("\\\\", "\\")
    ran = set()
    for scenario in glob.glob(f"{root}/tests/e2e/scenarios/*.txt"):
        for line in open(scenario, encoding="utf-8"):
            words = line.split()
            if words[:2] == ["expect", "file-lines"] and len(words) > 2:
                ran.add(words[2])
    for path, text in texts.items():
        # The example of a log that could not be opened is no path to copy.
        text = "\n".join(line for line in text.splitlines() if "操作ログを開けません" not in line)
        for example in LOG_EXAMPLE.findall(text):
            if example not in ran:
                fail(f"{path}: the example log {example} is written by no scenario")


def main():
    dump, folder = sys.argv[1], sys.argv[2]
    keys = table(dump)
    admx = parse(f"{folder}/zVelmora.admx")
    strings, presentations, defaults, silent = (check_admx(admx, keys) if admx is not None
                                                else (set(), set(), {}, set()))
    for language, category in (("ja-JP", "Velmora（誤送信対策）"), ("en-US", None)):
        path = f"{folder}/{language}/zVelmora.adml"
        root = parse(path)
        if root is not None:
            check_adml(path, root, strings, presentations, defaults, silent, language, category)
    check_reg(f"{folder}/zVelmora-policy-sample.reg", keys)
    check_log_examples(folder)
    for error in errors:
        print("FAIL", error)
    print(f"policy templates: {len(keys)} keys, {len(errors)} problem(s)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
