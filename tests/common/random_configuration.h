// Random configurations as a user may leave them: switches at random, now
// and then a typed text in a number field, valid or not, so that about half
// pass the save-time checks. Shared by the tests that hold a property for
// every configuration.
#pragma once

#include "config/Configuration.h"

#include <QRandomGenerator>
#include <QStringList>

namespace testconfig {

// Texts a user may type into a number field, valid and not.
inline const QStringList kNumbers = {"1",    "60000", "0",   "60001", "",     "+5",  "-0",
                                     "007",  " 9",    "1.5", "7,5",   "10",   "0,0", "1e1",
                                     "9.99", "10.0",  "2E0", ".5",    "5.",   "x",   "3",
                                     "20",   "21",    "100", "1e400", "+0.5", "6,5", "4294967296"};
inline const QStringList kPhones = {"", "+39", "+12+34", "1 2", "0"};
inline const QStringList kProfiles = {"", "0", "9", "10", "+3", "a"};

inline QString pick(QRandomGenerator &r, const QStringList &from)
{
    return from[int(r.bounded(quint32(from.size())))];
}

inline config::Configuration randomConfiguration(QRandomGenerator &r)
{
    config::Configuration c;
    c.setNewDefaults();
    // A few fields of each configuration get a typed text, so that about half
    // of them pass every check.
    auto maybe = [&](QString &field, const QStringList &from) {
        if (r.bounded(30) == 0)
            field = pick(r, from);
    };
    maybe(c.pin, {"", "1234", "12345678", "+1", "0"});
    for (config::DigitalInput &d : c.digitalInputs) {
        for (config::InputEvent *e : {&d.f0t1, &d.f1t0}) {
            e->enSms = r.bounded(2);
            maybe(e->timeDelay, kNumbers);
            e->list.setRows({{"Alarm", r.bounded(8) ? QString() : pick(r, kPhones), "d"}});
        }
    }
    for (config::AnalogThreshold *a : {&c.analogInput.high, &c.analogInput.low}) {
        a->enSms = r.bounded(2);
        maybe(a->value, kNumbers);
        maybe(a->valueHys, kNumbers);
        maybe(a->timeDelay, kNumbers);
    }
    for (config::DigitalOutput &o : c.digitalOutputs) {
        o.sms.enable = r.bounded(2);
        o.sms.impulse = r.bounded(2);
        o.sms.checkPhoneNumber = r.bounded(2);
        maybe(o.sms.delayImpulse, kNumbers);
        o.sms.list.setRows({{QStringLiteral("+39"), r.bounded(8) ? QString() : pick(r, kProfiles), "x"}});
        o.call.enable = r.bounded(2);
        maybe(o.call.ringNumber, kNumbers);
        maybe(o.call.hangUpRing, kNumbers);
        for (config::CallAction *a : {&o.call.hangUp, &o.call.under, &o.call.above}) {
            a->enable = r.bounded(2);
            a->operation = config::Operation(r.bounded(3));
            maybe(a->delayTime, kNumbers);
        }
        o.call.list.setRows({{QStringLiteral("+39"), r.bounded(8) ? QString() : pick(r, kProfiles), "x"}});
    }
    return c;
}

} // namespace testconfig
