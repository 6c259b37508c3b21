#pragma once

#include "db/ReferenceMaps.h"

#include <QDialog>

class CColourButton;
class CColoursModel;
class QTableView;

// The Colours dialog: a grid of every activity with its colour, and a colour button that
// recolours the selected row. OK writes the colours into the map and the colour file;
// Cancel touches neither.
class CD_Colors : public QDialog
{
    Q_OBJECT
public:
    CD_Colors(const TextMap &activities, ColourMap &colours, const QString &colourFilePath, QWidget *parent = nullptr);

    QTableView *grid() const { return m_grid; }
    CColourButton *colourButton() const { return m_button; }
    CColoursModel *model() const { return m_model; }

public slots:
    void accept() override;

private:
    int selectedRow() const;
    void rowActivated(int row);
    void editRowColour(int row);
    void applyButtonColour(ColourValue colour);

    ColourMap &m_colours;
    QString m_path;
    CColoursModel *m_model;
    QTableView *m_grid;
    CColourButton *m_button;
};
