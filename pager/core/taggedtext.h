#pragma once

// The one reader of lightly tagged text: server replies, the settings file,
// the article store, the inventory file and the vulnerability feed.

#include <QString>

// Takes the first element named `name` out of `source` and puts its content in
// `value`. On false neither `source` nor `value` changes. Names match without
// regard to case; a tag counts only when a blank or ">" follows its name.
bool takeTaggedValue(const QString& name, QString& source, QString& value);

// Removes every tag of at most 199 characters between "<" and ">" in place.
void stripMarkup(QString& text);
