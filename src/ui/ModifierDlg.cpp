// SPDX-License-Identifier: MIT
#include "ui/ModifierDlg.h"

#include "base/Guide.h"
#include "ui/ScreenText.h"
#include "ui/SkinLook.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>

#include <utility>

namespace tolmere {
namespace {

// A box whose value the property does not read is shown empty and disabled.
void Enable(QWidget* box, QLabel* label, const std::string& text) {
    const bool used = text != "-";
    box->setEnabled(used);
    label->setText(used ? ScreenText(text, TextSource::kTableCell) : QString());
}

// Typing any part of an entry's text (or its code, which each text carries) narrows
// the list; text that matches none stays as typed.
void MakeSearchable(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->completer()->setFilterMode(Qt::MatchContains);
    combo->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    combo->completer()->setCompletionMode(QCompleter::PopupCompletion);
    ApplySkinColoursToPopup(combo->completer()->popup());
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace

const DialogTemplate CModifierDlg::kTemplate{
    103,
    "Add Modifier",
    240,
    84,
    {
        {kModifierList, ControlKind::kDropDownList, "", 7, 7, 226, 12},
        {kModifierParamLabel, ControlKind::kStatic, "Parameter", 8, 27, 62, 8},
        {kModifierParam, ControlKind::kDropDownList, "", 72, 25, 161, 12},
        {kModifierMinLabel, ControlKind::kStatic, "Min", 8, 45, 62, 8},
        {kModifierMinBox, ControlKind::kEdit, "", 72, 43, 40, 12},
        {kModifierSame, ControlKind::kSkinButton, "=", 114, 43, 10, 12},
        {kModifierMaxLabel, ControlKind::kStatic, "Max", 128, 45, 62, 8},
        {kModifierMaxBox, ControlKind::kEdit, "", 192, 43, 41, 12},
        {kModifierApply, ControlKind::kSkinButton, "Apply", 7, 63, 50, 14},
        {kModifierCancel, ControlKind::kSkinButton, "Cancel", 58, 63, 50, 14},
    }};

CModifierDlg::CModifierDlg(std::int32_t slot, std::int32_t row, CTxtTable& table,
                           const CModifierChoices& choices, ModifierSlots layout, QWidget* parent)
    : CSkinDialog(kTemplate, parent), slot_(slot), row_(row), table_(table), choices_(choices),
      layout_(std::move(layout)) {
    MakeSearchable(ControlAs<QComboBox>(kModifierList));
    MakeSearchable(ControlAs<QComboBox>(kModifierParam));
    OnCommand(kModifierSame, [this] { CopyMinToMax(); });
    DescribeControl(this, kModifierSame, "Max = Min: the minimum into the maximum");
    connect(ControlAs<QComboBox>(kModifierList), &QComboBox::currentIndexChanged, this,
            [this] { ShowChoice(true); });
}

void CModifierDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    const SlotColumns cells = layout_.HasSlot(slot_) ? layout_.Slot(slot_) : SlotColumns{};
    const std::string code(table_.Text(row_, cells.code));
    editing_ = !code.empty();
    if (editing_)
        setWindowTitle(QStringLiteral("Edit Modifier"));

    entries_ = choices_.Entries();
    int held = editing_ ? choices_.Find(code) : -1;
    // The game does not read a code with spaces around it; the modifier it was meant to
    // be is offered instead, written on Apply.
    const std::size_t first = code.find_first_not_of(' ');
    const std::string trimmed = first == std::string::npos
                                    ? std::string()
                                    : code.substr(first, code.find_last_not_of(' ') + 1 - first);
    if (editing_ && held < 0 && trimmed != code && choices_.Find(trimmed) >= 0 &&
        GuideConfirm("The code '" + code +
                     "' has spaces the game does not read, so the game "
                     "ignores this modifier. Edit it as '" +
                     trimmed + "'?"))
        held = choices_.Find(trimmed);
    // A code the list does not know is kept, not swapped for another entry.
    if (editing_ && held < 0) {
        entries_.insert(entries_.begin(), choices_.Unlisted(code));
        held = 0;
    }
    auto* list = ControlAs<QComboBox>(kModifierList);
    {
        // Filling selects the first entry on the way; the choice below is the one meant.
        const QSignalBlocker quiet(list);
        FillList();
        list->setCurrentIndex(held >= 0 ? held : entries_.empty() ? -1 : 0);
    }
    ShowChoice(true);
    // Typing straight away searches instead of adding to the entry's text.
    list->setFocus();
    list->lineEdit()->selectAll();
    if (!editing_ || held < 0)
        return;
    SetBox(kModifierMinBox, table_.Text(row_, cells.min));
    SetBox(kModifierMaxBox, table_.Text(row_, cells.max));
    const std::string_view param = table_.Text(row_, cells.param);
    SetBox(kModifierParam, param,
           entries_[static_cast<std::size_t>(held)].param == ParamKind::kSkill
               ? choices_.SkillText(param)
               : std::string(param));
    // An edit is most often of the values: the first one takes the typing, selected.
    for (const int box : {kModifierMinBox, kModifierMaxBox}) {
        if (auto* edit = ControlAs<QLineEdit>(box); edit && edit->isEnabled()) {
            edit->setFocus();
            edit->selectAll();
            break;
        }
    }
}

void CModifierDlg::FillList() {
    auto* list = ControlAs<QComboBox>(kModifierList);
    list->clear();
    for (std::size_t i = 0; i < entries_.size(); ++i)
        list->addItem(ScreenText(entries_[i].text, TextSource::kTableCell), static_cast<int>(i));
}

void CModifierDlg::ShowChoice(bool fresh) {
    const auto* list = ControlAs<QComboBox>(kModifierList);
    if (list->currentIndex() < 0)
        return;
    const ModifierChoice& choice = entries_[static_cast<std::size_t>(list->currentData().toInt())];
    Enable(Control(kModifierMinBox), ControlAs<QLabel>(kModifierMinLabel), choice.minLabel);
    Enable(Control(kModifierMaxBox), ControlAs<QLabel>(kModifierMaxLabel), choice.maxLabel);
    Control(kModifierSame)->setEnabled(choice.range && choice.UsesMin() && choice.UsesMax());
    auto* param = ControlAs<QComboBox>(kModifierParam);
    const bool takesParam = choice.param != ParamKind::kNone;
    param->setEnabled(takesParam);
    ControlAs<QLabel>(kModifierParamLabel)
        ->setText(takesParam ? ScreenText(choice.paramLabel, TextSource::kTableCell) : QString());
    // Only a skill parameter offers the skills; a number is typed.
    const bool skills = choice.param == ParamKind::kSkill;
    if (skills != (param->count() > 0)) {
        const QString typed = param->currentText();
        param->clear();
        if (skills) {
            for (const SkillChoice& skill : choices_.Skills())
                param->addItem(ScreenText(skill.text, TextSource::kStringTable),
                               QString::fromStdString(skill.param));
        }
        param->setEditText(typed);
    }
    if (!fresh)
        return;
    const std::string value = choice.UsesMin() || choice.UsesMax() ? choice.defaultValue : "";
    SetBox(kModifierMinBox, choice.UsesMin() ? value : std::string());
    SetBox(kModifierMaxBox, choice.UsesMax() ? value : std::string());
    SetBox(kModifierParam, std::string_view());
}

void CModifierDlg::CopyMinToMax() {
    ControlAs<QLineEdit>(kModifierMaxBox)->setText(ControlAs<QLineEdit>(kModifierMinBox)->text());
    maxOriginal_ = minOriginal_;
}

void CModifierDlg::SetBox(int id, std::string_view bytes, std::string_view shown) {
    if (id == kModifierParam) {
        paramOriginal_.assign(bytes);
        paramShown_ = ScreenText(shown.empty() ? bytes : shown,
                                 shown.empty() ? TextSource::kTableCell : TextSource::kStringTable);
        ControlAs<QComboBox>(kModifierParam)->setEditText(paramShown_);
        return;
    }
    ControlAs<QLineEdit>(id)->setText(ScreenText(bytes, TextSource::kTableCell));
    (id == kModifierMinBox ? minOriginal_ : maxOriginal_).assign(bytes);
}

std::optional<ModifierChoice> CModifierDlg::ChosenEntry() const {
    const auto* list = ControlAs<QComboBox>(kModifierList);
    if (list->currentIndex() >= 0 && list->currentText() == list->itemText(list->currentIndex()))
        return entries_[static_cast<std::size_t>(list->currentData().toInt())];
    std::string error;
    std::optional<ModifierChoice> choice = choices_.Resolve(
        StoredText(list->currentText(), std::string_view(), TextSource::kTableCell), error);
    if (!choice)
        GuideMsg(error, kCaptionGuide);
    return choice;
}

ModifierValues CModifierDlg::ValuesFor(const ModifierChoice& choice, std::int32_t target) const {
    const SlotColumns& cells = layout_.Slot(target);
    const auto box = [this](int id, const std::string& original) {
        return StoredText(ControlAs<QLineEdit>(id)->text(), original, TextSource::kTableCell);
    };
    ModifierValues values;
    values.code = choice.code;
    values.min = choice.UsesMin() ? box(kModifierMinBox, minOriginal_)
                                  : std::string(table_.Text(row_, cells.min));
    values.max = choice.UsesMax() ? box(kModifierMaxBox, maxOriginal_)
                                  : std::string(table_.Text(row_, cells.max));
    if (choice.param == ParamKind::kNone)
        return values; // the parameter cell keeps what it holds
    const auto* param = ControlAs<QComboBox>(kModifierParam);
    const QString shown = param->currentText();
    if (shown == paramShown_)
        values.param = paramOriginal_;
    else if (param->currentIndex() >= 0 && shown == param->itemText(param->currentIndex()) &&
             choice.param == ParamKind::kSkill)
        values.param = param->currentData().toString().toStdString();
    else
        values.param = StoredText(shown, std::string_view(), TextSource::kTableCell);
    return values;
}

void CModifierDlg::OnOK() {
    const std::optional<ModifierChoice> choice = ChosenEntry();
    if (!choice || !layout_.HasSlot(slot_))
        return;
    // What the user typed is checked before any question about where it goes.
    const ModifierValues typed = ValuesFor(*choice, slot_);
    const std::string problem = ModifierValuesProblem(typed);
    if (!problem.empty()) {
        GuideMsg(problem, kCaptionGuide);
        return;
    }
    const std::vector<std::string> warnings = choices_.Warnings(*choice, typed);
    if (!warnings.empty() && !GuideConfirm(Joined(warnings) + "Write it anyway?"))
        return;
    const std::int32_t target = SettleModifierTarget(
        PlanModifier(table_, row_, slot_, layout_, choice->code), slot_,
        [](const std::string& question) { return GuideConfirm(question); },
        [](const std::string& message) { GuideMsg(message, kCaptionGuide); });
    if (target < 0)
        return;
    if (!WriteModifier(table_, row_, target, layout_, ValuesFor(*choice, target))) {
        GuideMsg("Failed.", kCaptionGuide);
        return;
    }
    done(kDialogOk);
}

std::optional<EditStep> AskAndDeleteModifier(CTxtTable& table, std::int32_t row,
                                             const std::string& code, const QString& wording,
                                             const std::function<bool()>& remove) {
    const std::string named =
        wording.isEmpty() ? "'" + code + "'" : "'" + wording.toStdString() + "' (" + code + ")";
    if (!GuideConfirm("Delete modifier " + named + "?"))
        return std::nullopt;
    const CRowRecorder recorder(table, row);
    if (!remove())
        return std::nullopt;
    EditStep step;
    step.name = "Delete modifier";
    recorder.Finish(step);
    return step;
}

} // namespace tolmere
