// The differences from a configuration chosen on the Load page to the open
// one, a line each; a double-click (or Enter) on a line closes the list and
// asks the window to show that field.
#pragma once

#include "app/ConfigurationCompare.h"

#include <QDialog>

class QListWidget;

namespace lang {
class LanguageTexts;
}

namespace ui {

// Where the window shows a difference: the control's object name, and for
// the weekly profile grid the profile it must show (-1 otherwise).
struct DifferenceControl
{
    QString name;
    int variant = -1;
};
DifferenceControl differenceControl(const app::Difference &difference);

class CompareDialog : public QDialog
{
    Q_OBJECT
public:
    // No differences show the line that says the two are the same.
    CompareDialog(const QList<app::Difference> &differences, const lang::LanguageTexts &texts,
                  QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }

signals:
    void differenceChosen(const app::Difference &difference);

private:
    QList<app::Difference> m_differences;
    QListWidget *m_list = nullptr;
};

} // namespace ui
