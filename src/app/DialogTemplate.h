#pragma once
// Dialog templates: every screen's controls are declared once, in
// res/dialogs/<id>.json, with their numeric ids and places in dialog units.
//
// {
//   "id": 104, "class": "CLogin", "caption": "...", "size": [396, 295],
//   "font": 12, "face": "宋体", "frame": "min" | "close" | "none" | "sizing",
//   "taskbar": true,
//   "controls": [
//     {"id": 1284, "kind": "edit", "rect": [x, y, w, h], "text": "...", ...flags}
//   ]
// }
//
// Control kinds: static, edit, multiedit, button, picbutton, check, radio,
// combo (drop-down list), combobox (editable), list, listview (report view),
// tree, group, date, time, richedit, readedit (CReadEdit), frame.
// Flags: hidden, disabled, readonly, right (align), center, number, password,
// checkboxes, gridlines, wrap, border (static), picture ("bmp159", "png162"), points (a font
// size of the control's own).
#include <QFont>
#include <QJsonObject>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

struct ControlTemplate
{
    int id = -1;
    QString kind;
    QRect rect; // dialog units
    QString text;
    QJsonObject options;
    bool flag(const QString &name) const { return options.value(name).toBool(); }
};

struct DialogTemplate
{
    int id = 0;
    QString className;
    QString caption;
    QSize size; // dialog units
    int pointSize = 12;
    QString face = QStringLiteral("宋体");
    QString frame = QStringLiteral("min");
    bool taskbar = true;
    QList<ControlTemplate> controls;

    // Loads :/res/dialogs/<id>.json; an empty template (id 0) when missing.
    static DialogTemplate load(int id);

    // Dialog units to pixels with 宋体's nominal metrics at 96 DPI, so layouts
    // do not move with the installed font.
    double xUnit() const { return pointSize * 96.0 / 72.0 / 2.0 / 4.0; }
    double yUnit() const { return pointSize * 96.0 / 72.0 / 8.0; }
    QRect toPixels(const QRect &du) const;
    QSize pixelSize() const;
    QFont font() const;
};

// Makes the control's widget as a child of parent, placed and labelled,
// with the dynamic property "ctrlId" set.
QWidget *createControl(const DialogTemplate &dialog, const ControlTemplate &control, QWidget *parent);
