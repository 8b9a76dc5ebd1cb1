#!/usr/bin/env python3
"""Packs the printed paper's template res/templates/wordtest.docx from its
readable source in tools/docx/wordtest/ (plain WordprocessingML parts).

Comments and the indentation between tags are dropped, the parts are stored
in a fixed order with a fixed date, so the same source gives the same bytes.

    python3 tools/make_docx_template.py [SOURCE_DIR] [OUTPUT]
"""
import os
import re
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def squeeze(xml: str) -> str:
    xml = re.sub(r"<!--.*?-->", "", xml, flags=re.S)
    # Only indentation between tags goes; no part holds text of spaces alone.
    xml = re.sub(r">\s+<", "><", xml)
    return xml.strip()


def main() -> int:
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "docx", "wordtest")
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "res", "templates", "wordtest.docx")
    parts = []
    for folder, _, files in os.walk(source):
        for name in files:
            full = os.path.join(folder, name)
            parts.append(os.path.relpath(full, source).replace(os.sep, "/"))
    # The content types first, as word processors expect.
    parts.sort(key=lambda p: (p != "[Content_Types].xml", p))
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED) as z:
        for part in parts:
            with open(os.path.join(source, part), encoding="utf-8") as f:
                data = squeeze(f.read())
            info = zipfile.ZipInfo(part, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data.encode("utf-8"))
    print(f"wrote {output} ({len(parts)} parts)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
