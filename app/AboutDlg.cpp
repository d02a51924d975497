#include "app/AboutDlg.h"

#include "Version.h"
#include "ui/ImageStrip.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <functional>
#include <utility>

namespace {

constexpr QSize fallbackSize(400, 250);

// The about picture as a control of its own: it paints the picture at the screen's pixel
// ratio and reports a left click, as a button does (press and release on it).
class CAboutPicture : public QWidget {
public:
    CAboutPicture(QWidget* parent, std::function<void()> onClick)
        : QWidget(parent), m_onClick(std::move(onClick)) {
        setObjectName(QStringLiteral("aboutPicture"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAccessibleName(QStringLiteral(TAVELIN_NAME_AND_VERSION));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        // The painter's device knows the ratio also when the dialog is rendered off screen.
        const QPixmap picture =
            LoadPicture(PictureId::aboutPicture, painter.device()->devicePixelRatioF());
        if (!picture.isNull()) {
            painter.drawPixmap(rect(), picture);
            return;
        }
        PaintPlainPicture(painter);
    }

    void mousePressEvent(QMouseEvent* event) override {
        m_pressed = event->button() == Qt::LeftButton;
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool clicked = m_pressed && event->button() == Qt::LeftButton &&
                             rect().contains(event->position().toPoint());
        m_pressed = false;
        event->accept();
        if (clicked && m_onClick) {
            m_onClick();
        }
    }

private:
    // Stands in while the picture resource is missing, so the box never shows up blank.
    void PaintPlainPicture(QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient background(rect().topLeft(), rect().bottomLeft());
        background.setColorAt(0.0, QColor(39, 94, 148));
        background.setColorAt(1.0, QColor(17, 56, 96));
        painter.fillRect(rect(), background);
        QFont title = font();
        title.setPixelSize(40);
        title.setBold(true);
        painter.setFont(title);
        painter.setPen(Qt::white);
        const QRect upper(0, 0, width(), height() * 11 / 20);
        painter.drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Tavelin"));
        QFont version = font();
        version.setPixelSize(16);
        painter.setFont(version);
        painter.setPen(QColor(220, 237, 204));
        const QRect lower(0, upper.bottom() + 8, width(), height() / 5);
        painter.drawText(lower, Qt::AlignHCenter | Qt::AlignTop,
                         QStringLiteral("Version " TAVELIN_VERSION));
    }

    std::function<void()> m_onClick;
    bool m_pressed = false;
};

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Tavelin"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_picture = new CAboutPicture(this, [this] { accept(); });
    const QSize size = PictureSize();
    m_picture->setGeometry(QRect(QPoint(0, 0), size));
    setFixedSize(size);
}

QSize CAboutDlg::PictureSize() {
    const QSize size = ::PictureSize(PictureId::aboutPicture);
    return size.isEmpty() ? fallbackSize : size;
}

void CAboutDlg::keyPressEvent(QKeyEvent* event) {
    // The picture is the box's one button, so Enter presses it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
