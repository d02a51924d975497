#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class CDesktopServices;
class QLabel;
class QLineEdit;
class CPictureButton;

// Where the user picks the folder that holds the meeting files: at first start, when the
// stored folder has gone, and from Preferences. It never changes the working directory
// itself; the caller appends "Meeting Files" to the chosen path.
class CPreferenceDlg : public QDialog {
    Q_OBJECT

public:
    enum Mode { firstSelection = 0, changeCurrent = 1, selected = 2 };

    explicit CPreferenceDlg(CDesktopServices& services, QWidget* parent = nullptr);

    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    void SetChosenPath(const QString& path);
    QString GetChosenPath() const { return m_chosenPath; }
    bool IsChanged() const { return m_changed; }
    QString GetCaptionText() const;

    // Shows the dialog modally and returns its result.
    int Run();

    // The buttons' actions.
    void Change();
    void Help();
    void Ok();
    void Cancel();

    // Whether a picked folder can hold the working directory: it must exist, be a folder
    // and be writable.
    static bool IsUsableFolder(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QString> BrowseForFolder();
    void UpdateCaption();

    CDesktopServices& m_services;
    int m_mode = firstSelection;
    QString m_chosenPath;
    bool m_changed = false;
    QLabel* m_caption = nullptr;
    QLineEdit* m_pathEdit = nullptr;
    CPictureButton* m_ok = nullptr;
};
