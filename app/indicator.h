#pragma once

#include <QWidget>

class QTimer;

namespace app {

// The busy symbol of the indicator: an arc that runs round and stretches and shrinks as it
// goes, on a transparent ground.
class BusyCircle : public QWidget {
    Q_OBJECT
public:
    explicit BusyCircle(QWidget* parent = nullptr);
    void setActive(bool on);
    bool isActive() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QTimer* timer_;
    int frame_ = 0;
};

}  // namespace app

// "잠시만 기다려주세요..." shown while the GUI thread waits for a server. Borderless, not modal,
// centred on the main window; frees itself when closed.
class TfrmIndicator : public QWidget {
    Q_OBJECT
public:
    explicit TfrmIndicator(QWidget* parent = nullptr);
    ~TfrmIndicator() override;

    app::BusyCircle* busyCircle() const { return busy_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void centreOnOwner();
    app::BusyCircle* busy_;
};

// Empty while no indicator is shown.
extern TfrmIndicator* frmIndicator;

namespace app {

// Shows the indicator (one at most), lets it paint, then pauses 300 ms (DM->wait) so that it
// is on screen before the blocking work starts. Never throws.
void PR_Set_UI_IndicoatorOn();
// Closes the indicator if one is shown; the first call after any number of On calls closes it.
// Never throws.
void PR_Set_UI_IndicoatorOFF();

}  // namespace app
