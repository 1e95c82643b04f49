// The control of each save-time check: the window leads the user to the
// value a save refused, and marks every refused value of a single field while
// the user types, judged by the same checks as the save.
#pragma once

#include "config/ConfigurationChecks.h"

#include <QObject>
#include <QPointer>
#include <array>

class QWidget;

namespace ui {

class PageContext;

// The object name of the control that edits the value of a check
// (1..config::kCheckCount): a field, or the grid of a row table.
QLatin1StringView checkControlName(int check);

class CheckedFields : public QObject
{
    Q_OBJECT
public:
    // Finds the controls by name under `window` in the pages built so far.
    CheckedFields(QWidget *window, PageContext &context);

    // A page was built after the window: finds its controls and marks them.
    void pageBuilt(QWidget *page);
    // The names of the checks' controls not found (none once every page is built).
    QStringList missingControls() const;

    QWidget *control(int check) const;

    // Judges every single field again: a refused one gets the mark and the
    // refusal's text as its tooltip, an accepted one loses them. The table
    // cells are judged by their own tables.
    void updateMarks();

private:
    void findControls(QWidget *root);

    PageContext &m_context;
    std::array<QPointer<QWidget>, config::kCheckCount> m_controls;
};

} // namespace ui
