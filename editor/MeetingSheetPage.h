#pragma once

#include <QWidget>

#include <string>

class CDesktopServices;
class CMeetingStore;

// One page of the meeting sheet: the meeting's details or one of its content files. A page
// loads its data the first time it is shown and saves it when the user moves on (Next),
// finishes the wizard or accepts the tabbed sheet. A save that cannot write raises the
// store's CFileError and leaves everything typed on the page.
class CMeetingSheetPage : public QWidget {
    Q_OBJECT

public:
    enum class SaveReason { ok, next, finish };

    CMeetingSheetPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                      QWidget* parent = nullptr)
        : QWidget(parent), m_store(store), m_services(services), m_meetingId(std::move(meetingId)) {
    }

    // The tab's caption, and the wizard header's title and subtitle string numbers (0: the
    // page shows no header band).
    virtual QString Caption() const = 0;
    virtual int HeaderTitleId() const { return 0; }
    virtual int HeaderSubtitleId() const { return 0; }

    // Loads the page once; later calls do nothing.
    void EnsureLoaded() {
        if (!m_loaded) {
            Load();
            m_loaded = true;
        }
    }
    bool IsLoaded() const { return m_loaded; }

    virtual void Save(SaveReason reason) = 0;

protected:
    virtual void Load() = 0;

    CMeetingStore& m_store;
    CDesktopServices& m_services;
    const std::string m_meetingId;

private:
    bool m_loaded = false;
};
