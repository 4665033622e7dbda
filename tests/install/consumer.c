/* A C99 program that uses the installed library the way an application would. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tarvo.h>

int main(void) {
    char iban[35];
    uint8_t status = 99;
    if (tarvo_iban_convert("DE", "532013000", "37040044", iban, &status) != 1) return 1;
    if (strcmp(iban, "DE89370400440532013000") != 0 || status != 0) return 2;
    if (tarvo_iban_check(iban) != 1) return 3;
    tarvo_t *m = tarvo_new(TARVO_MSGTYPE_CTI);
    if (m == NULL || tarvo_setName(m, "Example") != 1) return 4;
    tarvo_free(m);
    /* The camt reader brings in the XML parser the package must name. */
    tarvo_stmt_parser_t *p = tarvo_stmt_parser_new();
    if (p == NULL || tarvo_stmt_parser_load(p, TARVO_STMT_FORMAT_CAMT, "/nonexistent/statement.xml") != 0) return 5;
    tarvo_stmt_parser_free(p);
    puts("ok");
    return 0;
}
