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
    puts("ok");
    return 0;
}
