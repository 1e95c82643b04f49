// Configuration.xml files for the image tests: the whole element tree with
// the values of a new configuration, edited by element path.
#pragma once

#include "config/XmlTree.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class ConfigXml
{
public:
    ConfigXml(); // a new configuration: every switch off, every table empty

    // Paths are below Configuration, e.g. "Input/Digital/Digital_Input_1/En_SMS_F0T1".
    // Missing elements on the way are created.
    ConfigXml &set(const QString &path, const QString &text);
    ConfigXml &remove(const QString &path);
    // Appends an element holding child elements, e.g. a Time_Slot or a row.
    ConfigXml &append(const QString &parentPath, const QString &name, const QString &text = {});
    // Rows of an input table (Message, Phone_Number, Description) and of an
    // output table (Phone_Number, Profile, Description).
    ConfigXml &addInputRow(const QString &listPath, const QString &message, const QString &phone);
    ConfigXml &addOutputRow(const QString &listPath, const QString &phone, const QString &profile);
    // Sets the listed slots of a day ("Date_Time_Profile/Profile/Weekly/Week1/Time_Slots/Monday") to "1".
    ConfigXml &setSlots(const QString &dayPath, const QList<int> &onSlots);

    // Applies edits written compactly for test tables:
    //   "path=text"          set a leaf        "-path"            remove an element
    //   "+list=a|b"          add a row: input tables (message|phone), output tables (phone|profile)
    //   "slots:day=1,5,47"   turn slots on      "append:parent=name|text"  append an element
    // Paths may start with DI1/ DI2/ AI/ DO1.SMS/ DO1.CALL/ DO2.SMS/ DO2.CALL/ W1/-W3/ D1/-D3/ PS/.
    ConfigXml &apply(const QStringList &edits);
    static QString expandPath(const QString &path);

    QByteArray toXml() const;
    // Writes folder/Configuration.xml; returns its path.
    QString writeTo(const QString &folder) const;
    // The parsed document; its tree lives as long as the result.
    config::XmlParseResult parsed() const;

    // Shorthands for the common group paths.
    static QString digitalInput(int n) { return QStringLiteral("Input/Digital/Digital_Input_%1/").arg(n); }
    static QString analogInput() { return QStringLiteral("Input/Analog/Analog_Input_1/"); }
    static QString outputSms(int n) { return QStringLiteral("Output/Digital/Digital_Output_%1/SMS/").arg(n); }
    static QString outputCall(int n)
    {
        return QStringLiteral("Output/Digital/Digital_Output_%1/CALL/").arg(n);
    }
    static QString week(int n) { return QStringLiteral("Date_Time_Profile/Profile/Weekly/Week%1/").arg(n); }
    static QString day(int n) { return QStringLiteral("Date_Time_Profile/Profile/Daily/Day%1/").arg(n); }

private:
    struct Node
    {
        QString name;
        QString text;
        QList<Node> children;
    };
    Node *find(const QString &path, bool create);
    static void write(const Node &node, QByteArray &out);

    Node m_root;
};

// Reads a file whole; an empty array when it cannot be read.
QByteArray readFileBytes(const QString &path);
