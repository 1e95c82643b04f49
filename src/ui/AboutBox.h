// The About box: software name, code, version and document code. It is not
// translated and keeps no state.
#pragma once

#include <QDialog>

namespace ui {

class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

    static constexpr QSize kOuterSize{432, 242};

protected:
    void showEvent(QShowEvent *event) override;

private:
    void layOut();
};

} // namespace ui
