#pragma once

#include <QString>

// The model's characteristics, read once from the application configuration when the view is built.
struct ModelFlags
{
    bool isColorful = false;
    bool isGun = false;
    QString icType;
    bool is55328 = false;

    bool is560() const { return icType == QLatin1String("560"); }
};
