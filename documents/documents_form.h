#pragma once

#include <QLabel>
#include <QWidget>

#include "documents/application_documents.h"

class QPushButton;

namespace documents {

// A text that acts as a link: hand cursor, click signal.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};

}  // namespace documents

// The application documents, shown after the login of a company that has no service id yet:
// the service still has to be applied for, and the documents for that are downloaded here.
// Shown as a separate window over the main window; frees itself on close. Its first show
// disables the payer, withdrawal and history commands of the ribbon for the rest of the run.
class TfrmDocuments : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDocuments(QWidget* parent = nullptr);
    ~TfrmDocuments() override;

    QPushButton* cxButton1;      // application form
    QPushButton* bt_B;           // corporate confirmation
    documents::LinkLabel* pn_B;  // corporate sample
    QPushButton* bt_G;           // individual-business confirmation
    documents::LinkLabel* pn_G;  // individual-business sample

    static constexpr int kClientWidth = 542;
    static constexpr int kClientHeight = 280;

    // Save dialog, then the transfer; failures are reported, success is silent.
    void pr_Get_FTP_Document(documents::Document d);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormShow();
};

// Empty while no documents form exists.
extern TfrmDocuments* frmDocuments;
