#include "platform/ui/filter_popup.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "platform/ui/toolkit_texts.h"

namespace platform::ui {

namespace {
enum ItemKind { kAll = 1, kCustom = 2, kValue = 3 };
constexpr int kKindRole = Qt::UserRole;
constexpr int kRawRole = Qt::UserRole + 1;
}  // namespace

FilterPopup::FilterPopup(const std::vector<Value>& values, QWidget* parent)
    : QFrame(parent, Qt::Popup) {
    setObjectName(QStringLiteral("gridFilterPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("filterValues"));
    list_->setUniformItemSizes(true);
    layout->addWidget(list_);

    auto add = [this](const QString& text, int kind, const QVariant& raw) {
        auto* item = new QListWidgetItem(text, list_);
        item->setData(kKindRole, kind);
        item->setData(kRawRole, raw);
    };
    add(texts::filterAll(), kAll, {});
    add(texts::filterCustom(), kCustom, {});
    for (const Value& v : values) add(v.shown, kValue, v.raw);

    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int kind = item->data(kKindRole).toInt();
        const QVariant raw = item->data(kRawRole);
        const QString shown = item->text();
        close();
        if (kind == kAll)
            emit allChosen();
        else if (kind == kCustom)
            emit customChosen();
        else
            emit valueChosen(raw, shown);
    });
    const int rows = qMin(list_->count(), 15);
    resize(180, rows * (list_->fontMetrics().height() + 6) + 8);
}

}  // namespace platform::ui
