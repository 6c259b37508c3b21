#include "reports/C_ReportDoc.h"

C_ReportDoc::C_ReportDoc(QObject *parent) : CDocument(parent) {}

C_ReportDoc::~C_ReportDoc() = default;
