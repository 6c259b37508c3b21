#pragma once

#include <QtGlobal>

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
    // Asked before the window goes, by closing it or by quitting the program, when that would end
    // something under way (a drill, phones sharing the list); false when the user keeps it.
    virtual bool confirmClose(bool quitting)
    {
        Q_UNUSED(quitting);
        return true;
    }
};
