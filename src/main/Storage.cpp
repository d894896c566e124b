#include "main/Storage.h"

#include "main/Form1.h"
#include "settings/Placemnt.h"
#include "settings/SettingsPath.h"

namespace trackmill {

TFormStorage *CreateFormStorage(TForm1 &form)
{
    auto *storage = new TFormStorage(&form);
    storage->setObjectName(QStringLiteral("FormStorage1"));
    storage->SetIniSection(QStringLiteral("Default"));
    storage->SetOptions(fpPosition);
    storage->SetStoredProps(kStoredProps);
    storage->SetOnRestorePlacement([&form](TFormPlacement *sender) { form.FormStorage1RestorePlacement(sender); });
    return storage;
}

void SetIniFileName(TForm1 &form)
{
    form.FormStorage1->SetIniFileName(SettingsFilePath());
}

QString StorageIniFileName(const TForm1 &form)
{
    return form.FormStorage1->IniFileName();
}

}  // namespace trackmill
