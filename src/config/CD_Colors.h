#pragma once

#include "db/ReferenceMaps.h"

#include <QDialog>

class CColourButton;
class CColoursModel;
class CSettings;
class QTableView;

// The Colours dialog: a grid of every activity with its colour and its "On site" check box, and
// a colour button that recolours the selected row. OK writes the colours into the map and the
// colour file, and the on-site marks into the settings (when given); Cancel touches none.
class CD_Colors : public QDialog
{
    Q_OBJECT
public:
    CD_Colors(const TextMap &activities, ColourMap &colours, const QString &colourFilePath,
              CSettings *settings = nullptr, QWidget *parent = nullptr);

    QTableView *grid() const { return m_grid; }
    CColourButton *colourButton() const { return m_button; }
    CColoursModel *model() const { return m_model; }

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int selectedRow() const;
    void rowActivated(int row);
    void editRowColour(int row);
    void applyButtonColour(ColourValue colour);

    ColourMap &m_colours;
    QString m_path;
    CSettings *m_settings;
    CColoursModel *m_model;
    QTableView *m_grid;
    CColourButton *m_button;
};
