#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// The calendar page's one tooltip: lists register themselves as tools and set the text for
// the spot under the cursor (a day's meetings, a slot's meeting); an empty text shows none.
class CWindowToolTip : public QObject {
    Q_OBJECT

public:
    explicit CWindowToolTip(QObject* parent = nullptr);

    void AddWindowTool(QWidget* window, const QString& text = {});
    // Changes the text; shown at once when the cursor is over the window.
    void SetToolText(QWidget* window, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* ToolOf(QObject* watched) const;

    QHash<const QWidget*, QString> m_texts;
    // A scroll area's help events arrive at its viewport: the viewport maps to the tool.
    QHash<const QObject*, QPointer<QWidget>> m_tools;
};
