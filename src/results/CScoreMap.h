#pragma once
// Score chart (dialog 120): the results sheet of the exported rows under a
// toolbar, scrolled vertically, saved as a 32-bit BMP.
#include "app/ScreenBase.h"
#include "results/ChartSelection.h"
#include "results/ScoreChart.h"

class QAction;
class QScrollBar;
class QToolBar;

class CScoreMap : public ScreenBase
{
    Q_OBJECT
public:
    // The controls of dialog 120.
    enum Ids : int {
        Save = 32789, // toolbar command
        Return = 32790, // toolbar command
        Holder = 32800, // the picture holder
    };

    explicit CScoreMap(const ChartSelection &selection, QWidget *parent = nullptr);

    // The toolbar command Save or Return.
    QAction *command(int id) const;
    QToolBar *toolBar() const { return m_toolBar; }
    QWidget *holder() const { return m_holder; }
    QScrollBar *scrollBar() const { return m_scrollBar; }
    const ChartScroll &scrollState() const { return m_scroll; }

    // The sheet as drawn on screen (and as a save writes it).
    QImage sheet() const;

protected:
    void paintPictures(QPainter &painter) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    int clientWidth() const;
    void placeHolder();
    void scrollTo(ChartScroll::Request request, int tracked = 0);
    void save();

    ChartSelection m_selection;
    ChartScroll m_scroll;
    QToolBar *m_toolBar = nullptr;
    QWidget *m_holder = nullptr;
    QScrollBar *m_scrollBar = nullptr;
    bool m_leaving = false;
};
