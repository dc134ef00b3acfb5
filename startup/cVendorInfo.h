// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The product-information record.
class cVendorInfo
{
public:
    QString ProductName;
    QString EXEName;
    QString URLHome;
    QString URLTestFile;
};
