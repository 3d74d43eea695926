#pragma once
// Qt's own parts of the program's windows (the file and colour dialogs, a text box's context
// menu, standard buttons) in Chinese, like everything else the operator reads.

namespace zv {

// Loads Qt's Chinese translation (beside the program in translations/, where a Windows
// copy carries it, else Qt's own folder), adds the few texts it leaves in English and
// makes zh_CN the default locale. Once is enough; later calls do nothing. Call it once the
// application exists. False when Qt's translation was found nowhere (the program's own
// texts are Chinese regardless).
bool useChineseForQtParts();

}  // namespace zv
