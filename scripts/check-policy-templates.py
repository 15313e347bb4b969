#!/usr/bin/env python3
"""The Group Policy templates and the sample .reg file against the plug-in's key table.

Usage: check-policy-templates.py <key_table_dump> <policy folder>
Fails when a template is no well-formed XML, a policy names a value the plug-in does not read
or with another type or range, a key of the table has no policy, a text the templates refer to
is missing from a language, or the sample sets a value the plug-in does not read as written.
"""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
KEY = r"Software\Policies\Tarnwyk\Velmora"
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
        keys[name] = dict(kind=kind, low=int(low), high=int(high), values=values, default=default)
    return keys


def parse(path):
    try:
        return ET.parse(path).getroot()
    except (ET.ParseError, OSError) as error:
        fail(f"{path}: {error}")
        return None


def check_admx(root, keys):
    seen = {}
    strings, presentations = set(), set()
    for policy in root.iterfind(".//p:policy", NS):
        name = policy.get("name")
        if policy.get("key") != KEY:
            fail(f"policy {name}: key {policy.get('key')}")
        strings.update(re.findall(r"\$\(string\.(\w+)\)", ET.tostring(policy).decode()))
        presentations.update(re.findall(r"\$\(presentation\.(\w+)\)", policy.get("presentation", "")))
        elements = list(policy.find("p:elements", NS) or [])
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
        if key["kind"] != "int":
            if kind != "text":
                fail(f"policy {name}: {kind} for the text key {value}")
        elif key["values"] is not None:
            items = {d.get("value") for d in element.iterfind(".//p:decimal", NS)}
            if kind != "enum" or items != key["values"]:
                fail(f"policy {name}: {kind} {sorted(items)}, the plug-in takes {sorted(key['values'])}")
        elif kind != "decimal" or (int(element.get("minValue", "0")), int(element.get("maxValue", "-1"))) != (key["low"], key["high"]):
            fail(f"policy {name}: {kind} {element.get('minValue')}..{element.get('maxValue')}, "
                 f"the plug-in takes {key['low']}..{key['high']}")
    for name in keys:
        if seen.get(name) != 1:
            fail(f"key {name}: {seen.get(name, 0)} policies, expected one")
    for category in root.iterfind(".//p:category", NS):
        strings.update(re.findall(r"\$\(string\.(\w+)\)", category.get("displayName", "")))
    return strings, presentations


def check_adml(path, root, strings, presentations, keys, category):
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


def check_reg(path, keys):
    data = open(path, "rb").read()
    text = data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode("utf-8")
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


def main():
    dump, folder = sys.argv[1], sys.argv[2]
    keys = table(dump)
    admx = parse(f"{folder}/zVelmora.admx")
    strings, presentations = check_admx(admx, keys) if admx is not None else (set(), set())
    for language, category in (("ja-JP", "Velmora（誤送信対策）"), ("en-US", None)):
        path = f"{folder}/{language}/zVelmora.adml"
        root = parse(path)
        if root is not None:
            check_adml(path, root, strings, presentations, keys, category)
    check_reg(f"{folder}/zVelmora-policy-sample.reg", keys)
    for error in errors:
        print("FAIL", error)
    print(f"policy templates: {len(keys)} keys, {len(errors)} problem(s)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
