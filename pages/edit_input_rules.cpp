#include "pages/edit_input_rules.h"

QString ApplyEditInputRules(unsigned flags, int limit, const QString& typed) {
    QString text;
    text.reserve(typed.size());
    for (const QChar c : typed) {
        if ((flags & kDigitsOnly) != 0 && (c < u'0' || c > u'9')) {
            continue;
        }
        text += c;
    }
    if ((flags & kUpperCase) != 0) {
        text = text.toUpper();
    }
    if (limit > 0 && text.size() > limit) {
        text.truncate(limit);
    }
    return text;
}
