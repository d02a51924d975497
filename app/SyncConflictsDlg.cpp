#include "app/SyncConflictsDlg.h"

#include "store/MeetingStore.h"
#include "ui/Formatting.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CSyncConflictsDlg::CSyncConflictsDlg(const std::vector<CSyncConflict>& conflicts,
                                     const CMeetingStore& store, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("syncConflictsDialog"));
    setWindowTitle(QStringLiteral("Sync Conflicts"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("These meetings were changed here and on the server since the last "
                       "sync. Both versions were kept: yours stayed as it was, and the "
                       "server's version became a meeting of its own."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("conflictList"));
    m_list->setHeaderLabels(
        {QStringLiteral("Title"), QStringLiteral("Date"), QStringLiteral("Version"), QString()});
    m_list->setRootIsDecorated(false);
    layout->addWidget(m_list, 1);
    for (const CSyncConflict& conflict : conflicts) {
        const QString date = FormatDate(conflict.date) + u' ' + FormatTime(conflict.date);
        AddRow(conflict.localId, QString::fromStdString(conflict.title), date,
               QStringLiteral("Yours, as it was here"));
        const CMeeting* copy = store.GetMap().Find(conflict.copyId);
        AddRow(conflict.copyId,
               copy ? QString::fromStdString(copy->title) : QString::fromStdString(conflict.title),
               copy ? FormatDate(copy->date) + u' ' + FormatTime(copy->date) : date,
               QStringLiteral("The server's version, kept as a copy"));
    }
    // The texts take what they need; the Open buttons keep a column of their own width.
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(3, QHeaderView::Fixed);
    m_list->setColumnWidth(3, QPushButton(QStringLiteral("Open")).sizeHint().width() + 8);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(680, 300);
}

void CSyncConflictsDlg::AddRow(const std::string& id, const QString& title, const QString& date,
                               const QString& which) {
    auto* item = new QTreeWidgetItem(m_list, {title, date, which});
    auto* open = new QPushButton(QStringLiteral("Open"), m_list);
    open->setObjectName(QStringLiteral("open_%1").arg(QString::fromStdString(id)));
    m_list->setItemWidget(item, 3, open);
    connect(open, &QPushButton::clicked, this, [this, id] {
        m_chosen = id;
        accept();
    });
}
