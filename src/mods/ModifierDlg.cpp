#include "mods/ModifierDlg.h"

#include "app/Guide.h"
#include "ui/ScreenText.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <utility>
#include <vector>

namespace tolmere {

const DialogTemplate CModifierDlg::kTemplate{
    103,
    "Add Modifier",
    218,
    82,
    {
        {kModifierList, ControlKind::kDropDownList, "", 7, 7, 194, 12, kStyleSorted},
        {kNoControlId, ControlKind::kStatic, "Min", 8, 28, 15, 8},
        {kModifierMinBox, ControlKind::kEdit, "", 26, 26, 31, 12},
        {kNoControlId, ControlKind::kStatic, "Max", 65, 28, 15, 8},
        {kModifierMaxBox, ControlKind::kEdit, "", 84, 26, 31, 12},
        {kModifierSame, ControlKind::kSkinButton, "=", 116, 26, 10, 12},
        {kNoControlId, ControlKind::kStatic, "Duration", 130, 28, 33, 8},
        {kModifierDuration, ControlKind::kEdit, "", 164, 26, 31, 12},
        {kModifierApply, ControlKind::kSkinButton, "Apply", 7, 47, 50, 14},
        {kModifierCancel, ControlKind::kSkinButton, "Cancel", 58, 47, 50, 14},
    }};

CModifierDlg::CModifierDlg(std::int32_t slot, std::int32_t row, CTxtTable& table,
                           const CModKeys& keys, ModifierSlots layout, QWidget* parent)
    : CSkinDialog(kTemplate, parent), slot_(slot), row_(row), table_(table), keys_(keys),
      layout_(std::move(layout)) {
    OnCommand(kModifierSame, [this] { CopyMinToMax(); });
    connect(ControlAs<QComboBox>(kModifierList), &QComboBox::currentIndexChanged, this,
            [this] { SelectionChanged(); });
}

void CModifierDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    const SlotColumns cells = layout_.HasSlot(slot_) ? layout_.Slot(slot_) : SlotColumns{};
    const std::string_view code = table_.Text(row_, cells.code);
    editing_ = !code.empty();
    const std::int32_t heldRow = editing_ ? keys_.Find(code) : -1;
    if (editing_)
        setWindowTitle(QStringLiteral("Edit Modifier"));

    auto* list = ControlAs<QComboBox>(kModifierList);
    {
        // Filling selects the first entry on the way; the choice below is the one meant.
        const QSignalBlocker quiet(list);
        FillList();
        int index = heldRow >= 0 ? list->findData(heldRow) : -1;
        if (index < 0 && list->count() > 0)
            index = 0;
        list->setCurrentIndex(index);
    }
    SelectionChanged();

    if (editing_) {
        SetBox(kModifierMaxBox, table_.Text(row_, cells.min));
        SetBox(kModifierMinBox, table_.Text(row_, cells.max));
    }
}

void CModifierDlg::FillList() {
    std::vector<std::pair<QString, std::int32_t>> entries;
    entries.reserve(static_cast<std::size_t>(std::max(keys_.Count(), 0)));
    for (std::int32_t row = 0; row < keys_.Count(); ++row)
        entries.emplace_back(ScreenText(keys_.DisplayText(row), TextSource::kTableCell), row);
    // Entries that differ only in case keep their catalogue order.
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    auto* list = ControlAs<QComboBox>(kModifierList);
    list->clear();
    for (const auto& [text, row] : entries)
        list->addItem(text, row);
}

void CModifierDlg::SelectionChanged() {
    const auto* list = ControlAs<QComboBox>(kModifierList);
    if (list->currentIndex() < 0)
        return;
    const std::string_view value = keys_.DefaultValue(list->currentData().toInt());
    SetBox(kModifierMaxBox, value);
    SetBox(kModifierMinBox, value);
    auto* duration = ControlAs<QLineEdit>(kModifierDuration);
    duration->setText(QStringLiteral("0"));
    duration->setEnabled(false);
}

void CModifierDlg::CopyMinToMax() {
    ControlAs<QLineEdit>(kModifierMaxBox)->setText(ControlAs<QLineEdit>(kModifierMinBox)->text());
    maxBoxOriginal_ = minBoxOriginal_;
}

void CModifierDlg::SetBox(int id, std::string_view bytes) {
    ControlAs<QLineEdit>(id)->setText(ScreenText(bytes, TextSource::kTableCell));
    (id == kModifierMinBox ? minBoxOriginal_ : maxBoxOriginal_).assign(bytes);
}

void CModifierDlg::OnOK() {
    const auto* list = ControlAs<QComboBox>(kModifierList);
    if (list->currentIndex() < 0)
        return;
    const std::string code(keys_.Code(list->currentData().toInt()));
    // Crosswise by design: the box labelled "Max" holds the minimum cell and the one
    // labelled "Min" the maximum cell. Modders know the boxes this way; keep it.
    const std::string minimum = StoredText(ControlAs<QLineEdit>(kModifierMaxBox)->text(),
                                           maxBoxOriginal_, TextSource::kTableCell);
    const std::string maximum = StoredText(ControlAs<QLineEdit>(kModifierMinBox)->text(),
                                           minBoxOriginal_, TextSource::kTableCell);
    const std::int32_t target = SettleModifierTarget(
        PlanModifier(table_, row_, slot_, layout_, code), slot_,
        [](const std::string& question) { return GuideConfirm(question); },
        [](const std::string& message) { GuideMsg(message, kCaptionGuide); });
    if (target < 0)
        return;
    if (!WriteModifier(table_, row_, target, layout_, {code, std::nullopt, minimum, maximum})) {
        GuideMsg("Failed.", kCaptionGuide);
        return;
    }
    done(kDialogOk);
}

} // namespace tolmere
