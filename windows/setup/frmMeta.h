#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <span>

#include "core/number_text.h"
#include "core/translated.h"
#include "decision/decision.h"
#include "store/schema.h"

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace vpl {

class Program;

// The factor count the factors window keeps: a text that is a number from 2 to 8
// stays; anything else becomes "4".
QString validFactorCount(const QString& typed, core::NumberLocale locale);

// The window's texts besides its captions, in the three languages.
extern const std::span<const core::Translated> kMetaTexts;

// Factors and propositions: the factor count and the requirement level (Parametro), and for
// each of the eight slots its title, number of propositions and weight (the first eight
// Fatores rows).
class frmMeta : public QDialog {
    Q_OBJECT
  public:
    explicit frmMeta(Program& program, QWidget* parent = nullptr);

    void Form_Load();
    void lblFatores_LostFocus();
    void cmdSair_Click();
    void cmdFatores_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape and the title bar's close save as the return button does.
    void reject() override;

  private:
    void SalvarFatores();

    Program& program_;
    QLineEdit* lblFatores_;
    QDoubleSpinBox* txtExigencia_;
    QLineEdit* lblFator_[store::kFactorSlots];
    QLineEdit* txtP_[store::kFactorSlots];
    QSpinBox* txtPeso_[store::kFactorSlots];
    // The texts as read, so that a save writes only what changed, and the file's data
    // version then, so that it never writes over another program's save.
    decision::FactorsForm loaded_;  // as read, then as last saved
    std::int64_t seenVersion_ = 0;
};

}  // namespace vpl
