#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QHBoxLayout;
class QLabel;
class QScrollArea;
class QToolButton;

namespace payers {

// The tab "출금동의서 자료" of the payer list: the current payer's consent images side by side,
// fetched from the file server on every rebuild, with add, save-and-open and delete.
class ConsentStrip : public QWidget {
    Q_OBJECT
public:
    explicit ConsentStrip(QWidget* parent = nullptr);

    // Where the buttons read the current payer (the trimmed id of the list's detail block).
    void setPayerSource(std::function<QString()> source) { payer_ = std::move(source); }
    // What opens a saved image for the user; the shell's "open" action unless a test sets it.
    void setDocumentOpener(std::function<bool(const QString&)> opener) {
        open_ = std::move(opener);
    }

    // Clears the selection and the row, then shows the payer's images (empty id: stays empty).
    void pr_get_ftp_imageList(const QString& userid);

    void cxButton4Click();  // add
    void cxButton5Click();  // save and open
    void cxButton3Click();  // delete
    void cxImage1Click(QLabel* image);

    // The image controls of the row, left to right; each one's caption is its remote name.
    QList<QLabel*> images() const;
    static QString captionOf(const QLabel* image);
    QLabel* selected() const { return pv_LastImg; }

    QScrollArea* scroll_Imgs;
    QToolButton* cxButton4;
    QToolButton* cxButton5;
    QToolButton* cxButton3;

    static inline const QString kFilter = QStringLiteral("JPG|*.JPG");

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clearImages();
    void addImageControl(const QString& name, const QString& localPath);
    void select(QLabel* image);
    int imageHeight() const;
    void showError(const QString& message);

    QWidget* row_;
    QHBoxLayout* rowLayout_;
    QPointer<QLabel> pv_LastImg;
    std::function<QString()> payer_;
    std::function<bool(const QString&)> open_;
};

}  // namespace payers
