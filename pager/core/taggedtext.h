#pragma once

// The one reader of lightly tagged text: server replies, the settings file,
// the article store, the inventory file and the vulnerability feed.

#include <QLatin1String>
#include <QString>

// Takes the first element named `name` out of `source` and puts its content in
// `value`. On false neither `source` nor `value` changes. Names match without
// regard to case; a tag counts only when a blank or ">" follows its name.
bool takeTaggedValue(const QString& name, QString& source, QString& value);

// Where the element takeTaggedValue() would take lies, without taking it.
struct TaggedSpan
{
    qsizetype elementFrom = 0, elementTo = 0; // the whole element, tags included
    qsizetype valueFrom = 0, valueTo = 0;     // its content
};
bool findTaggedValue(const QString& name, QStringView source, TaggedSpan& span);

// First "<name" or "</name" (as `pattern` gives it) at or after `from` that
// is followed by a blank or ">", found without regard to case; -1 if none.
qsizetype findTag(QStringView text, QStringView pattern, qsizetype from = 0);
// Whether such a tag starts at text[at].
bool isTagAt(QStringView text, qsizetype at, QStringView pattern);

// What takeTaggedValue() called for each of `names` in turn on one copy of
// `record` would give, without copying the record: found[i] and values[i]
// belong to names[i]. A value is a view into `record`, or into `store` when
// the takes met text that an earlier take had joined; the views stay valid
// while neither changes. Names are plain words (no blank, "<", ">" or "/").
void takeTaggedValues(QStringView record, const QLatin1String* names, qsizetype count,
                      QStringView* values, bool* found, QString& store);

// Removes every tag of at most 199 characters between "<" and ">" in place.
void stripMarkup(QString& text);
