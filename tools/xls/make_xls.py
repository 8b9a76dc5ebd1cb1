#!/usr/bin/env python3
"""Writes the spreadsheet templates and test fixtures as Excel 97-2003 files.

Each workbook is described below as plain data, written as a flat
OpenDocument spreadsheet (.fods) and converted by LibreOffice headless:
    soffice --headless --convert-to 'xls:MS Excel 97' ...
The .xls outputs are committed, so building and testing never need
LibreOffice. Run tools/make_xls_templates.sh after changing this file.

A cell is a str (text), an int or float (a number cell), or None (empty).
"""
import os
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

CHOICE = ["科目", "题型", "题干", "答案", "A", "B", "C", "D", "E", "难度", "对象"]
JUDGE = ["科目", "题型", "题干", "答案", "A", "B", "难度", "对象"]
BLANK = ["科目", "题型", "题干", "答案", "难度", "对象"]
HEADERS = {"单选题": CHOICE, "判断题": JUDGE, "填空题": BLANK, "多选题": CHOICE, "问答题": BLANK}
TYPES = ["单选题", "判断题", "填空题", "多选题", "问答题"]


def cell(value):
    if value is None:
        return "<table:table-cell/>"
    if isinstance(value, (int, float)):
        return ('<table:table-cell office:value-type="float" office:value="%s">'
                "<text:p>%s</text:p></table:table-cell>" % (value, value))
    return ('<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>'
            % escape(value))


def fods(sheets):
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
           'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
           'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
           'office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">',
           "<office:body><office:spreadsheet>"]
    for name, rows in sheets:
        out.append('<table:table table:name="%s">' % escape(name))
        for row in rows:
            out.append("<table:table-row>" + "".join(cell(v) for v in row) + "</table:table-row>")
        out.append("</table:table>")
    out.append("</office:spreadsheet></office:body></office:document>")
    return "\n".join(out)


def choice_row(i, type_="单选题", answer="A", subject="语文", level="简单", group="干部"):
    return [subject, type_, "%s第%d题【】是什么？" % (type_, i), answer,
            "选项一%d" % i, "选项二%d" % i, "选项三%d" % i, None, None, level, group]


def questions_template():
    return [(t, [HEADERS[t]]) for t in TYPES]


def good_questions():
    single = [HEADERS["单选题"]] + [choice_row(i) for i in range(1, 11)]
    # Two rows without 难度 are not complete and are left out.
    single.insert(4, choice_row(90, level=None))
    single.append(choice_row(91, level=None))
    judge = [HEADERS["判断题"],
             ["语文", "判断题", "地球是圆的", "A", "正确", "错误", "简单", "干部"],
             ["语文", "判断题", "太阳从西边升起", "B", "正确", "错误", "中等", "干部"]]
    blank = [HEADERS["填空题"],
             ["数学", "填空题", "三乘四等于【】", 12, "简单", "干部"],
             ["数学", "填空题", "【】加【】等于二", "1 # 1", "中等", "工人"]]
    multi = [HEADERS["多选题"],
             ["语文", "多选题", "哪些是水果", "A C", "苹果", "石头", "香蕉", "铁", None, "简单", "干部"],
             ["语文", "多选题", "哪些是颜色", "AB", "红", "绿", "猫", None, None, "困难", "干部"]]
    essay = [HEADERS["问答题"],
             ["语文", "问答题", "说说你的看法", "A C", "困难", "干部"]]
    return [("单选题", single), ("判断题", judge), ("填空题", blank), ("多选题", multi), ("问答题", essay)]


def reordered():
    swapped = ["科目", "题型", "题干", "答案", "B", "A", "C", "D", "E", "难度", "对象"]
    without_e = ["科目", "题型", "题干", "答案", "A", "B", "C", "D", "难度", "对象"]
    return [("单选题", [swapped, choice_row(1)]),
            ("多选题", [without_e, ["语文", "多选题", "题", "AB", "1", "2", "3", "4", "简单", "干部"]]),
            ("判断题", [HEADERS["判断题"] + ["备注"], ["语文", "判断题", "题", "A", "正确", "错误", "简单", "干部", "x"]])]


def pipes():
    single = [HEADERS["单选题"], choice_row(1), choice_row(2), choice_row(3),
              ["语文", "单选题", "坏题", "A", "甲|乙", "乙", "丙", None, None, "简单", "干部"],
              choice_row(5)]
    multi = [HEADERS["多选题"],
             ["语文", "多选题", "好题", "AB", "1", "2", "3", None, None, "简单", "干部"],
             ["语文", "多选题", "答案坏", "A|B", "1", "2", "3", None, None, "简单", "干部"],
             ["语文", "多选题", "后题", "AB", "4", "5", "6", None, None, "简单", "干部"]]
    return [("单选题", single), ("多选题", multi)]


def long_cell(length=300):
    single = [HEADERS["单选题"], choice_row(1),
              ["语文", "单选题", "长" * length, "A", "1", "2", "3", None, None, "简单", "干部"],
              choice_row(3)]
    return [("单选题", single)]


def huge_cell():
    return long_cell(10000)


def no_rows():
    single = [HEADERS["单选题"], choice_row(1, group=None), choice_row(2, group=None)]
    return [("单选题", single), ("问答题", [HEADERS["问答题"]])]


def other_sheet():
    return [("Sheet1", [["科目", "题型"], ["语文", "单选题"]])]


def examinee_template():
    return [("Sheet1", [["姓名", "部门", "职务"]])]


def bench_questions():
    rows = [HEADERS["单选题"]]
    for i in range(1, 10001):
        rows.append(["科目%d" % (i % 7), "单选题", "第%d题：下列说法中哪一项是正确的？" % i, "ABCDE"[i % 5],
                     "选项A内容%d" % i, "选项B内容%d" % i, "选项C内容%d" % i, "选项D内容%d" % i,
                     "选项E内容%d" % i, ["简单", "中等", "困难"][i % 3], "干部"])
    return [("单选题", rows)]


ROSTER = ["姓名", "部门", "职务"]


def roster_good():
    rows = [ROSTER,
            ["张三", "财务部", "会计"], ["李四", "财务部", "出纳"], ["王五", "人事部", "主管"],
            ["赵六", "人事部", "专员"], ["钱七", "技术部", "工程师"], ["孙八", "技术部", "工程师"],
            ["周九", "技术部", "主管"], ["吴十", "财务部", "会计"], ["O'Brien", "技术部", "工程师"],
            ["郑一", "人事部", "专员"]]
    # Rows with an empty cell are not complete and are skipped.
    rows.insert(3, [None, "财务部", "会计"])
    rows.insert(7, ["陈二", None, "主管"])
    rows.append(["林三", "技术部", None])
    return [("Sheet1", rows)]


def roster_swapped():
    return [("Sheet1", [["姓名", "职务", "部门"], ["张三", "会计", "财务部"]])]


def roster_four_columns():
    return [("Sheet1", [ROSTER + ["备注"], ["张三", "财务部", "会计", "x"]])]


def roster_semicolon():
    rows = [ROSTER] + [["人%d" % i, "财务部", "会计"] for i in range(1, 5)]
    rows.append(["坏;名", "财务部", "会计"])
    rows.append(["人6", "财务部", "会计"])
    return [("Sheet1", rows)]


def roster_long_name():
    return [("Sheet1", [ROSTER, ["张三", "财务部", "会计"], ["长" * 300, "财务部", "会计"]])]


def roster_no_rows():
    return [("Sheet1", [ROSTER, ["张三", None, "会计"], [None, "财务部", "会计"]])]


def roster_bench():
    rows = [ROSTER]
    for i in range(1, 10001):
        rows.append(["考生%05d" % i, "部门%d" % (i % 20), "职务%d" % (i % 7)])
    return [("Sheet1", rows)]


BOOKS = {
    "templates": {"res/templates/questions.xls": questions_template,
                  "res/templates/examinee.xls": examinee_template},
    "fixtures": {"tests/bank/fixtures/questions.xls": good_questions,
                 "tests/bank/fixtures/reordered.xls": reordered,
                 "tests/bank/fixtures/pipes.xls": pipes,
                 "tests/bank/fixtures/longcell.xls": long_cell,
                 "tests/bank/fixtures/hugecell.xls": huge_cell,
                 "tests/bank/fixtures/norows.xls": no_rows,
                 "tests/bank/fixtures/othersheet.xls": other_sheet},
    "bench": {"bench/fixtures/questions10k.xls": bench_questions},
    "roster": {"tests/admin/fixtures/examinee.xls": roster_good,
               "tests/admin/fixtures/swapped/examinee.xls": roster_swapped,
               "tests/admin/fixtures/fourcolumns/examinee.xls": roster_four_columns,
               "tests/admin/fixtures/semicolon/examinee.xls": roster_semicolon,
               "tests/admin/fixtures/longname/examinee.xls": roster_long_name,
               "tests/admin/fixtures/norows/examinee.xls": roster_no_rows,
               "bench/fixtures/examinee10k/examinee.xls": roster_bench},
}


def convert(root, books):
    with tempfile.TemporaryDirectory() as tmp:
        sources = []
        for target, make in books.items():
            name = target.replace("/", "__")[:-4]
            src = os.path.join(tmp, name + ".fods")
            with open(src, "w", encoding="utf-8") as f:
                f.write(fods(make()))
            sources.append((src, name, target))
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://%s/profile" % tmp,
                        "--convert-to", "xls:MS Excel 97", "--outdir", tmp] + [s for s, _, _ in sources],
                       check=True, stdout=subprocess.DEVNULL)
        for _, name, target in sources:
            dest = os.path.join(root, target)
            os.makedirs(os.path.dirname(dest), exist_ok=True)
            shutil.copyfile(os.path.join(tmp, name + ".xls"), dest)
            print("wrote", target)


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    groups = sys.argv[1:] or list(BOOKS)
    for g in groups:
        convert(root, BOOKS[g])
    if "fixtures" in groups:
        # Not a spreadsheet at all, under a spreadsheet's name.
        with open(os.path.join(root, "tests/bank/fixtures/notaspreadsheet.xls"), "w") as f:
            f.write("this is plain text, not a workbook\n")
        print("wrote tests/bank/fixtures/notaspreadsheet.xls")
    if "roster" in groups:
        os.makedirs(os.path.join(root, "tests/admin/fixtures/text"), exist_ok=True)
        with open(os.path.join(root, "tests/admin/fixtures/text/examinee.xls"), "w") as f:
            f.write("姓名,部门,职务\n张三,财务部,会计\n")
        print("wrote tests/admin/fixtures/text/examinee.xls")


if __name__ == "__main__":
    main()
