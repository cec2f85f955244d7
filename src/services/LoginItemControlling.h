#pragma once
// Registration of the program as something that starts when the user logs in: read it, add it, remove it.

#include <QString>

class LoginItemControlling {
public:
    virtual ~LoginItemControlling() = default;

    // Whether the program starts at login right now.
    virtual bool isRegistered() const = 0;
    // Each returns false and fills `error` with a description when it fails.
    virtual bool registerItem(QString* error) = 0;
    virtual bool unregisterItem(QString* error) = 0;
};
