#pragma once

// The commands that the main frame hands to the view of the active window. A view overrides
// the ones it has; the others do nothing, and Print is then not offered.
class CChildCommands
{
public:
    virtual ~CChildCommands() = default;

    virtual bool canPrint() const { return false; }
    virtual void print() {}
    virtual void printPreview() {}
    // Asks for a file name, then writes the PDF.
    virtual void exportPdfAs() {}
    // The rows as shown, with the headings, to a CSV file the user names.
    virtual void exportCsv() {}
    virtual void clearTicks() {}
};
