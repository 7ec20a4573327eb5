#pragma once
// The checks that judge translations against the program they translate:
// `fit` (the text fits the control showing it at 96, 120 and 144 dpi) and
// `accelerator-clash` (two texts shown together take the same accelerator
// letter where their originals did not).

#include "checks/check.h"
#include "checks/check_registry.h"
#include "dialogfit/dialog_layout.h"
#include "dialogfit/program_texts.h"

#include <memory>

CheckInfo FitCheckInfo();
CheckInfo AcceleratorClashCheckInfo();

class FitCheck : public PerEntryCheck {
public:
    FitCheck(std::shared_ptr<const ProgramTexts> program, TextMeasurer &measurer);
    void judge(const CheckedEntry &entry, const CheckContext &context, std::vector<Finding> &out) const override;

    // The faces the program's dialogs ask for that are not installed, with
    // the face measured instead: "Segoe UI (measured in DejaVu Sans)".
    QStringList substitutedFaces() const;

private:
    std::shared_ptr<const ProgramTexts> m_program;
    // Per dialog, its layout at each resolution of kFitDpis.
    std::vector<std::vector<DialogLayout>> m_layouts;
};

class AcceleratorClashCheck : public CatalogueCheck {
public:
    explicit AcceleratorClashCheck(std::shared_ptr<const ProgramTexts> program);
    void judgeAll(const EntryMap &entries, const CheckContext &context, std::vector<Finding> &out) const override;
    void judgeAround(const EntryMap &entries, const StringEntry &changed, const CheckContext &context,
                     std::vector<const StringEntry *> &judged, std::vector<Finding> &out) const override;

private:
    // The findings of one group, given the entry shown at each of its places.
    void judgeGroup(const std::vector<ShownPlace> &group, const std::vector<const StringEntry *> &shown,
                    std::vector<Finding> &out) const;
    std::vector<const StringEntry *> entriesOf(const EntryMap &entries, const std::vector<ShownPlace> &group) const;

    std::shared_ptr<const ProgramTexts> m_program;
};

// The factory of both, reading the program named by the target's options
// "program" (and "header" for the names of numbers).
CheckFactory ProgramCheckFactory();
