#pragma once

#include <QDialog>

class QLabel;

namespace quadrela {

// The credits: one picture, closed with the window's close box.
class TformCreditos : public QDialog
{
    Q_OBJECT
public:
    explicit TformCreditos(QWidget* parent = nullptr);

    QLabel* imCreditos = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace quadrela
