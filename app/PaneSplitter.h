#pragma once

#include "app/Settings.h"

#include <QSplitter>

#include <array>

// The main window's three columns. The two bars stand at percentages of the client width:
// dragging a bar records its new percentage, and every resize lays the columns out again
// from the percentages, so the panes keep their proportions and the values can be saved.
class CPaneSplitter : public QSplitter {
    Q_OBJECT

public:
    explicit CPaneSplitter(QWidget* parent = nullptr);

    int GetFirstPercent() const { return m_firstPercent; }
    int GetSecondPercent() const { return m_secondPercent; }
    void SetPercentages(int first, int second);

    // Once ready, resizes follow the percentages; before, the columns keep their initial sizes.
    void SetReady(bool ready);

    // Column widths for a client width: the first two from the percentages, the third takes
    // the rest; none narrower than the minimum of 50 pixels while the width allows it.
    static std::array<int, 3> ColumnWidths(int width, int firstPercent, int secondPercent);

    // Percent of `width` at which a bar dropped at `x` stands.
    static int PercentAt(int x, int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyPercentages();
    void OnSplitterMoved(int pos, int index);

    int m_firstPercent = Settings::defaultFirst;
    int m_secondPercent = Settings::defaultSecond;
    bool m_ready = false;
};
