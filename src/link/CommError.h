#pragma once

#include <QString>

// A failure of a serial operation: the port layer's number and a description that says
// what happened. Number 0 means no failure.
struct CommError
{
    int number = 0;
    QString description;

    bool failed() const { return number != 0; }
};
