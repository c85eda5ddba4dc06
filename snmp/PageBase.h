#pragma once

// What every configuration page shares: placement and icon, its sessions
// (owned here, named as the page names them, closed with their debug lines
// when the window closes), the report channel onto the page's thread, and
// finding controls by their numeric id.

#include "platform/WindowMemory.h"
#include "snmp/PageLink.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QVariant>

#include <memory>
#include <vector>

class CFeatureBackEnd;
class QLabel;
class QLineEdit;
class QPushButton;

// The dynamic property that carries a control's numeric id.
inline constexpr char kControlIdProperty[] = "controlId";
// The outcome line at the foot of every page.
inline constexpr int kIdOutcomeLine = 65000;
// The command id a page was opened for (set by the command table); its size
// and column widths are remembered under it.
inline constexpr char kCommandIdProperty[] = "commandId";

// Report codes of the page's own walks (pages with a back-end use the back-end's).
namespace PageReport {
constexpr int kRow = 0;
constexpr int kFinished = 1;
constexpr int kWriteFinished = 3;
} // namespace PageReport

class CPageBase : public QDialog {
    Q_OBJECT
public:
    explicit CPageBase(QWidget* parent = nullptr);
    ~CPageBase() override;

    // The control with this id, or null.
    QWidget* Control(int id) const;
    template <class T> T* Control(int id) const { return qobject_cast<T*>(Control(id)); }
    static void SetControlId(QWidget* widget, int id);

    // Closes the sessions (with their debug lines) and shuts the report
    // channel; runs once, when the window closes or at the latest when the
    // page is destroyed.
    void CloseSessions();

    const std::shared_ptr<CNotifyChannel>& Channel() const { return m_pChannel; }

    // Controls made with their id (the pages build their forms in code).
    QPushButton* NewButton(const QString& text, int id);
    QLineEdit* NewEdit(int id, int maxLength = 0);
    QLabel* NewLabel(const QString& text, int id = 0);

    // The session created with the name; null when there is none.
    CCommonSNMP* Session(const QString& name) const;

    // The outcome line: the last write and the last load (all reads and
    // walks that ran together), or what the page said itself.
    QString OutcomeLine() const;
    // Counts the outcomes shown; tests and benchmarks wait on it.
    int OutcomeSerial() const { return m_nOutcomeSerial; }
    // True while a walk of the page runs or the page says it is loading.
    virtual bool IsBusy() const;
    // The page's own words about its last action (which ports were written
    // before a stop), in place of the last write's outcome; shown after the
    // outcomes of the requests made before it, followed by the next load's.
    void ShowOutcome(const QString& text);

signals:
    void OutcomeShown(const QString& text);

public slots:
    void done(int result) override;

protected:
    // A session of the page, owned here and closed as name ("m_cCommonSNMP").
    CCommonSNMP& AddSession(const QString& name);
    // Reports arrive here, on the page's thread, in order. The default hands
    // each report to OnSnmpNotify.
    virtual void OnSnmpNotifyBatch(std::vector<SSnmpReport>& batch);
    virtual void OnSnmpNotify(const SSnmpReport& report);

    // Pages with a back-end: its sessions are closed with the page's.
    void AttachBackEnd(CFeatureBackEnd& backEnd);
    // Pages that load in timed steps say so, so that the page counts as busy.
    void SetLoading(bool loading) { m_bLoading = loading; }

    void showEvent(QShowEvent* event) override;
    // Runs once, on the first show: the page's first load.
    virtual void OnInitDialog() {}

private:
    friend class CFeatureBackEnd;
    void Dispatch(std::vector<SSnmpReport>& batch);
    void TakeOutcome(const SOutcome& outcome);
    void RenderOutcome();
    void PlaceOutcomeLine();
    // Size and column widths: restored on the first show, kept on close.
    QString MemoryKey() const;
    NamedLists MemoryLists() const;
    // Hands the session's outcomes to this page's channel.
    void WatchSession(CCommonSNMP& session);

    struct SNamedSession {
        QString name;
        std::unique_ptr<CCommonSNMP> session;
    };
    std::vector<SNamedSession> m_sessions;
    std::vector<CFeatureBackEnd*> m_backEnds;
    QLabel* m_pOutcomeLine = nullptr;
    QString m_strWrite;
    struct SLoad {
        bool open = false;
        int rows = 0, values = 0;
        bool walked = false;
        qint64 startedMs = 0; // on m_clock: when its earliest request went out
        QString failure;
    } m_load;
    QString m_strLoad;
    QElapsedTimer m_clock;
    int m_nOutcomeSerial = 0;
    bool m_bLoading = false;
    std::shared_ptr<CNotifyChannel> m_pChannel;
    bool m_bClosed = false;
    bool m_bInitialised = false;
};

// A feature back-end: three sessions, its owner page, three row arrays and one
// int per port; it reports to its page with codes of its own.
class CFeatureBackEnd {
public:
    CFeatureBackEnd();
    virtual ~CFeatureBackEnd();
    CFeatureBackEnd(const CFeatureBackEnd&) = delete;
    CFeatureBackEnd& operator=(const CFeatureBackEnd&) = delete;

    // 0 and nothing stored for no page, else 1.
    int SetOwner(CPageBase* owner);
    CPageBase* Owner() const { return m_pOwner; }

    void Notify(int code, SSnmpRow row = {});
    void NotifyMarker(int code, const QString& marker);

    void CloseSessions();
    bool IsBusy() const;

protected:
    CCommonSNMP& AddSession(const QString& name);
    std::shared_ptr<CNotifyChannel> Channel() const;

private:
    // Both declared before the session references that AddSession fills
    // (AddSession reads the owner).
    CPageBase* m_pOwner = nullptr;
    struct SNamedSession {
        QString name;
        std::unique_ptr<CCommonSNMP> session;
    };
    std::vector<SNamedSession> m_sessions;

protected:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    QStringList m_arrRows[3];
    std::vector<int> m_nPortValues;

private:
    bool m_bClosed = false;
};

// The page icon (resource 447).
QIcon PageIcon();
