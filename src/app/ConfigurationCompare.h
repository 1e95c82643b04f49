// The differences between two configurations in words, each with where it is
// (page, panel, table and row) and both values: which of two configurations
// is on a device, what a colleague changed. Table rows are matched by their
// content, so a row inserted at the top is one added row.
#pragma once

#include "config/Configuration.h"

#include <QList>
#include <QString>

namespace lang {
class LanguageTexts;
}

namespace app {

struct Difference
{
    enum class Place {
        Phone,
        InputEvent, // index: the table order of the six input events
        OutputSms,  // index: the output, from 0
        OutputCall,
        WeeklyProfile, // index: the profile, from 0
        DailyProfile,
    };
    Place place = Place::Phone;
    int index = 0;
    int table = -1; // the table (as app::tableInfo) of a row difference
    int row = -1;   // its row in the second configuration, from 0 (in the first when removed)
    QString text;

    bool operator==(const Difference &) const = default;
};

// From `before` to `after`, in the order of the window's pages.
QList<Difference> compareConfigurations(const config::Configuration &before,
                                        const config::Configuration &after, const lang::LanguageTexts &texts);

} // namespace app
