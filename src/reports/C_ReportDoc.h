#pragma once

#include "app/CDocument.h"

// The document of a report window. It holds nothing: the view owns the generator and the
// report is never saved.
class C_ReportDoc : public CDocument
{
    Q_OBJECT
public:
    explicit C_ReportDoc(QObject *parent = nullptr);
    ~C_ReportDoc() override;
};
