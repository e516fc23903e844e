#pragma once

#include <QFrame>
#include <QVariant>

class QListWidget;

namespace platform::ui {

// The drop-down list of a column's filter button: "(전체)", "(사용자정의)" and the distinct
// values of the column. Closes itself after a choice.
class FilterPopup : public QFrame {
    Q_OBJECT

public:
    struct Value {
        QString shown;
        QVariant raw;
    };

    FilterPopup(const std::vector<Value>& values, QWidget* parent);
    QListWidget* list() const { return list_; }

signals:
    void allChosen();
    void customChosen();
    void valueChosen(const QVariant& raw, const QString& shown);

private:
    QListWidget* list_;
};

}  // namespace platform::ui
