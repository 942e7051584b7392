// The device frame's side of the data and configuration files: loading a data file into the
// instrument object and the pages, saving it, and saving the configuration of the groups the
// write-all dialog chooses.

#include "DaxFrame.h"

#include "DaxWriteAllFrame.h"
#include "UserPrompts.h"

void TDax_Frame::LoadDataFile(std::span<const uint8_t> bytes)
{
    // One hold of the image lock for the load and the refresh, so that no page read finishing
    // in between shows on the pages as part of the file.
    DaxHelperLocker lock(&daxHelper_);
    daxHelper_.LoadDataFileBytes(bytes);
    OnProcessDone(kReadAllId);
}

void TDax_Frame::SaveDataFile(const std::string& fileName) const
{
    daxHelper_.SaveDataFile(fileName);
}

std::string TDax_Frame::DataFileName() const
{
    return daxHelper_.DataFileName();
}

bool TDax_Frame::SaveConfigFile(const std::string& fileName)
{
    UserPrompts& prompts = prompts_ ? *prompts_ : UserPrompts::System();
    if (!writeAllForm_ || prompts.RunModal(*writeAllForm_) != QDialog::Accepted)
        return false;
    const DaxWriteAllDataSetup setup = writeAllForm_->Setup();
    // The file holds the values just stored: no read may change the setup image in between.
    DaxHelperLocker lock(&daxHelper_);
    StoreWriteAllGroups(setup.Order, setup.Mask);
    daxHelper_.SaveConfigFile(fileName, setup);
    return true;
}
