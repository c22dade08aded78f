#include "details/figures_page.h"

#include "gui/controls.h"
#include "gui/elided_label.h"

#include <QFormLayout>
#include <QLabel>

namespace korvane {

FiguresPage::FiguresPage(const char* objectName, std::span<const Figure> figures, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QString::fromLatin1(objectName));
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const Figure& figure : figures) {
        const QString name = QString::fromLatin1(figure.name);
        auto* value = new ElidedLabel(this);
        value->setObjectName(name + QStringLiteral("_LABEL"));
        value->setFullText(QStringLiteral("?"));
        auto* caption = new QLabel(QString::fromLatin1(figure.caption), this);
        caption->setObjectName(name + QStringLiteral("_CAPTION"));
        caption->setBuddy(value);
        form->addRow(caption, value);
        m_values.push_back(value);
    }
}

void FiguresPage::setTexts(std::span<const std::string> texts)
{
    for (std::size_t index = 0; index < m_values.size() && index < texts.size(); ++index)
        m_values[index]->setFullText(controls::fromStd(texts[index]));
}

} // namespace korvane
