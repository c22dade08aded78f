#pragma once

#include "details/details_rules.h"

#include <QWidget>
#include <span>
#include <string>
#include <vector>

namespace korvane {

class ElidedLabel;

// A page of figures, one a line under its caption: the mempool's, the node's. Each figure is
// plain text, cut to the page's width with the whole in its tool tip.
class FiguresPage : public QWidget
{
    Q_OBJECT

public:
    FiguresPage(const char* objectName, std::span<const Figure> figures, QWidget* parent);

    // The figures' texts, in the order of their captions.
    void setTexts(std::span<const std::string> texts);

private:
    std::vector<ElidedLabel*> m_values;
};

} // namespace korvane
