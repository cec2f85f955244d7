#include "ui/settings/SettingRowTexts.h"

#include "theme/QvColor.h"
#include "theme/QvFont.h"
#include "ui/kit/TokenLabel.h"

#include <QBoxLayout>

SettingRowTexts SettingRowTexts::addTo(QBoxLayout* row, QWidget* owner, bool withHint) {
    SettingRowTexts texts;
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    texts.title = new TokenLabel(QvColor::qvInkPrimary(), owner);
    texts.title->setFont(QvFont::qvText(14, QFont::Medium));
    texts.title->setWordWrap(true);
    column->addWidget(texts.title);
    if (withHint) {
        texts.hint = new TokenLabel(QvColor::qvInkMuted(), owner);
        texts.hint->setFont(QvFont::qvText(13, QFont::Normal));
        texts.hint->setWordWrap(true);
        column->addWidget(texts.hint);
    }
    row->addLayout(column, 1);
    return texts;
}
