// A language file: applied key by key, or refused with every text kept.
#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    lang::LanguageTexts texts;
    if (!texts.loadLanguageBytes(bytes)) {
        // Refused: the built-in English stays everywhere.
        const lang::LanguageTexts builtin;
        for (const lang::KeyDef &key : lang::keys()) {
            if (texts.text(key.key) != builtin.text(key.key))
                __builtin_trap();
        }
    }
    return 0;
}
