/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: e93fb00e05a978593bf4ecf3939afa3e0bc9140f */

ZEND_BEGIN_ARG_INFO_EX(arginfo_class_TARVO___construct, 0, 0, 1)
	ZEND_ARG_TYPE_INFO(0, type, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, rulebook, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setRulebook, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, rulebook, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_getRulebook, 0, 0, IS_STRING, 1)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setInstant, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, instant, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setCategoryPurpose, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, code, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setUltimateName, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, name, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setIBAN, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, iban, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setBIC, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, bic, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_TARVO_setName arginfo_class_TARVO_setUltimateName

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setCreditorIdentifier, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, creditor_identifier, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setDate, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, date, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setDDType, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, type, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setBatchBooking, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, flag, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_setMessageId, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, message_id, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_add, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, transaction, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_addQrBill, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, payload, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, transaction, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_toXML, 0, 0, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_init, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_IBAN_convert, 0, 3, IS_STRING, 1)
	ZEND_ARG_TYPE_INFO(0, country, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, account, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, bank_id, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(1, status, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_IBAN_getBIC, 0, 1, IS_STRING, 1)
	ZEND_ARG_TYPE_INFO(0, iban, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_IBAN_check, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, iban, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_IBAN_inspect, 0, 1, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, iban, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_IBAN_normalize, 0, 1, IS_STRING, 1)
	ZEND_ARG_TYPE_INFO(0, input, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_TARVO_IBAN_format arginfo_class_TARVO_IBAN_getBIC

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_creditorReferenceCheck, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, reference, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_creditorReferenceMake, 0, 1, IS_STRING, 1)
	ZEND_ARG_TYPE_INFO(0, base, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_ACCOUNT_checkBank, 0, 2, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, account, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, bank_id, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_BIC_getBankName, 0, 1, IS_STRING, 1)
	ZEND_ARG_TYPE_INFO(0, bic, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_BIC_getBankFlags, 0, 1, IS_LONG, 1)
	ZEND_ARG_TYPE_INFO(0, bic, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_TARVO_QRR_check arginfo_class_TARVO_creditorReferenceCheck

#define arginfo_class_TARVO_QRR_make arginfo_class_TARVO_creditorReferenceMake

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_QRBILL_parse, 0, 1, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, payload, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_QRBILL_make, 0, 1, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_TARVO_EPCQR_parse arginfo_class_TARVO_QRBILL_parse

#define arginfo_class_TARVO_EPCQR_make arginfo_class_TARVO_QRBILL_make

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVO_QR_svg, 0, 2, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, kind, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, payload, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_TARVO_QR_png arginfo_class_TARVO_QR_svg

ZEND_BEGIN_ARG_INFO_EX(arginfo_class_TARVOStatementParser___construct, 0, 0, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVOStatementParser_load, 0, 2, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, format, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVOStatementParser_loadString, 0, 2, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, format, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, data, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVOStatementParser_getStatements, 0, 0, IS_ARRAY, 1)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, raw, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

#define arginfo_class_TARVOReconciliation___construct arginfo_class_TARVOStatementParser___construct

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVOReconciliation_addPayments, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVOReconciliation_addPaymentsString, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, data, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, name, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_TARVOReconciliation_addStatus arginfo_class_TARVOReconciliation_addPayments

#define arginfo_class_TARVOReconciliation_addStatusString arginfo_class_TARVOReconciliation_addPaymentsString

#define arginfo_class_TARVOReconciliation_addStatements arginfo_class_TARVOReconciliation_addPayments

#define arginfo_class_TARVOReconciliation_addStatementsString arginfo_class_TARVOReconciliation_addPaymentsString

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVOReconciliation_run, 0, 0, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_TARVOReconciliation_getWarnings arginfo_class_TARVOReconciliation_run

#define arginfo_class_TARVOStatusReport_load arginfo_class_TARVOReconciliation_addPayments

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVOStatusReport_loadString, 0, 1, IS_TRUE, 0)
	ZEND_ARG_TYPE_INFO(0, document, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_TARVOStatusReport_getVersion arginfo_class_TARVO_getRulebook

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_TARVOStatusReport_getRecords, 0, 0, IS_ARRAY, 1)
ZEND_END_ARG_INFO()

#define arginfo_class_TARVOPaymentFile_load arginfo_class_TARVOReconciliation_addPayments

#define arginfo_class_TARVOPaymentFile_loadString arginfo_class_TARVOStatusReport_loadString

#define arginfo_class_TARVOPaymentFile_getHeader arginfo_class_TARVOStatusReport_getRecords

#define arginfo_class_TARVOPaymentFile_getBlocks arginfo_class_TARVOStatusReport_getRecords


ZEND_METHOD(TARVO, __construct);
ZEND_METHOD(TARVO, setRulebook);
ZEND_METHOD(TARVO, getRulebook);
ZEND_METHOD(TARVO, setInstant);
ZEND_METHOD(TARVO, setCategoryPurpose);
ZEND_METHOD(TARVO, setUltimateName);
ZEND_METHOD(TARVO, setIBAN);
ZEND_METHOD(TARVO, setBIC);
ZEND_METHOD(TARVO, setName);
ZEND_METHOD(TARVO, setCreditorIdentifier);
ZEND_METHOD(TARVO, setDate);
ZEND_METHOD(TARVO, setDDType);
ZEND_METHOD(TARVO, setBatchBooking);
ZEND_METHOD(TARVO, setMessageId);
ZEND_METHOD(TARVO, add);
ZEND_METHOD(TARVO, addQrBill);
ZEND_METHOD(TARVO, toXML);
ZEND_METHOD(TARVO, init);
ZEND_METHOD(TARVO, IBAN_convert);
ZEND_METHOD(TARVO, IBAN_getBIC);
ZEND_METHOD(TARVO, IBAN_check);
ZEND_METHOD(TARVO, IBAN_inspect);
ZEND_METHOD(TARVO, IBAN_normalize);
ZEND_METHOD(TARVO, IBAN_format);
ZEND_METHOD(TARVO, creditorReferenceCheck);
ZEND_METHOD(TARVO, creditorReferenceMake);
ZEND_METHOD(TARVO, ACCOUNT_checkBank);
ZEND_METHOD(TARVO, BIC_getBankName);
ZEND_METHOD(TARVO, BIC_getBankFlags);
ZEND_METHOD(TARVO, QRR_check);
ZEND_METHOD(TARVO, QRR_make);
ZEND_METHOD(TARVO, QRBILL_parse);
ZEND_METHOD(TARVO, QRBILL_make);
ZEND_METHOD(TARVO, EPCQR_parse);
ZEND_METHOD(TARVO, EPCQR_make);
ZEND_METHOD(TARVO, QR_svg);
ZEND_METHOD(TARVO, QR_png);
ZEND_METHOD(TARVOStatementParser, __construct);
ZEND_METHOD(TARVOStatementParser, load);
ZEND_METHOD(TARVOStatementParser, loadString);
ZEND_METHOD(TARVOStatementParser, getStatements);
ZEND_METHOD(TARVOReconciliation, __construct);
ZEND_METHOD(TARVOReconciliation, addPayments);
ZEND_METHOD(TARVOReconciliation, addPaymentsString);
ZEND_METHOD(TARVOReconciliation, addStatus);
ZEND_METHOD(TARVOReconciliation, addStatusString);
ZEND_METHOD(TARVOReconciliation, addStatements);
ZEND_METHOD(TARVOReconciliation, addStatementsString);
ZEND_METHOD(TARVOReconciliation, run);
ZEND_METHOD(TARVOReconciliation, getWarnings);
ZEND_METHOD(TARVOStatusReport, load);
ZEND_METHOD(TARVOStatusReport, loadString);
ZEND_METHOD(TARVOStatusReport, getVersion);
ZEND_METHOD(TARVOStatusReport, getRecords);
ZEND_METHOD(TARVOPaymentFile, load);
ZEND_METHOD(TARVOPaymentFile, loadString);
ZEND_METHOD(TARVOPaymentFile, getHeader);
ZEND_METHOD(TARVOPaymentFile, getBlocks);


static const zend_function_entry class_TARVOException_methods[] = {
	ZEND_FE_END
};


static const zend_function_entry class_TARVO_methods[] = {
	ZEND_ME(TARVO, __construct, arginfo_class_TARVO___construct, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setRulebook, arginfo_class_TARVO_setRulebook, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, getRulebook, arginfo_class_TARVO_getRulebook, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setInstant, arginfo_class_TARVO_setInstant, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setCategoryPurpose, arginfo_class_TARVO_setCategoryPurpose, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setUltimateName, arginfo_class_TARVO_setUltimateName, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setIBAN, arginfo_class_TARVO_setIBAN, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setBIC, arginfo_class_TARVO_setBIC, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setName, arginfo_class_TARVO_setName, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setCreditorIdentifier, arginfo_class_TARVO_setCreditorIdentifier, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setDate, arginfo_class_TARVO_setDate, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setDDType, arginfo_class_TARVO_setDDType, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setBatchBooking, arginfo_class_TARVO_setBatchBooking, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, setMessageId, arginfo_class_TARVO_setMessageId, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, add, arginfo_class_TARVO_add, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, addQrBill, arginfo_class_TARVO_addQrBill, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, toXML, arginfo_class_TARVO_toXML, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVO, init, arginfo_class_TARVO_init, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, IBAN_convert, arginfo_class_TARVO_IBAN_convert, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, IBAN_getBIC, arginfo_class_TARVO_IBAN_getBIC, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, IBAN_check, arginfo_class_TARVO_IBAN_check, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, IBAN_inspect, arginfo_class_TARVO_IBAN_inspect, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, IBAN_normalize, arginfo_class_TARVO_IBAN_normalize, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, IBAN_format, arginfo_class_TARVO_IBAN_format, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, creditorReferenceCheck, arginfo_class_TARVO_creditorReferenceCheck, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, creditorReferenceMake, arginfo_class_TARVO_creditorReferenceMake, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, ACCOUNT_checkBank, arginfo_class_TARVO_ACCOUNT_checkBank, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, BIC_getBankName, arginfo_class_TARVO_BIC_getBankName, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, BIC_getBankFlags, arginfo_class_TARVO_BIC_getBankFlags, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, QRR_check, arginfo_class_TARVO_QRR_check, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, QRR_make, arginfo_class_TARVO_QRR_make, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, QRBILL_parse, arginfo_class_TARVO_QRBILL_parse, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, QRBILL_make, arginfo_class_TARVO_QRBILL_make, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, EPCQR_parse, arginfo_class_TARVO_EPCQR_parse, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, EPCQR_make, arginfo_class_TARVO_EPCQR_make, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, QR_svg, arginfo_class_TARVO_QR_svg, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(TARVO, QR_png, arginfo_class_TARVO_QR_png, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_FE_END
};


static const zend_function_entry class_TARVOStatementParser_methods[] = {
	ZEND_ME(TARVOStatementParser, __construct, arginfo_class_TARVOStatementParser___construct, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOStatementParser, load, arginfo_class_TARVOStatementParser_load, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOStatementParser, loadString, arginfo_class_TARVOStatementParser_loadString, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOStatementParser, getStatements, arginfo_class_TARVOStatementParser_getStatements, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};


static const zend_function_entry class_TARVOReconciliation_methods[] = {
	ZEND_ME(TARVOReconciliation, __construct, arginfo_class_TARVOReconciliation___construct, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOReconciliation, addPayments, arginfo_class_TARVOReconciliation_addPayments, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOReconciliation, addPaymentsString, arginfo_class_TARVOReconciliation_addPaymentsString, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOReconciliation, addStatus, arginfo_class_TARVOReconciliation_addStatus, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOReconciliation, addStatusString, arginfo_class_TARVOReconciliation_addStatusString, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOReconciliation, addStatements, arginfo_class_TARVOReconciliation_addStatements, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOReconciliation, addStatementsString, arginfo_class_TARVOReconciliation_addStatementsString, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOReconciliation, run, arginfo_class_TARVOReconciliation_run, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOReconciliation, getWarnings, arginfo_class_TARVOReconciliation_getWarnings, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};


static const zend_function_entry class_TARVOStatusReport_methods[] = {
	ZEND_ME(TARVOStatusReport, load, arginfo_class_TARVOStatusReport_load, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOStatusReport, loadString, arginfo_class_TARVOStatusReport_loadString, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOStatusReport, getVersion, arginfo_class_TARVOStatusReport_getVersion, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOStatusReport, getRecords, arginfo_class_TARVOStatusReport_getRecords, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};


static const zend_function_entry class_TARVOPaymentFile_methods[] = {
	ZEND_ME(TARVOPaymentFile, load, arginfo_class_TARVOPaymentFile_load, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOPaymentFile, loadString, arginfo_class_TARVOPaymentFile_loadString, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOPaymentFile, getHeader, arginfo_class_TARVOPaymentFile_getHeader, ZEND_ACC_PUBLIC)
	ZEND_ME(TARVOPaymentFile, getBlocks, arginfo_class_TARVOPaymentFile_getBlocks, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};

static void register_tarvo_symbols(int module_number)
{
	REGISTER_LONG_CONSTANT("TARVO_DDTYPE_CORE", TARVO_DDTYPE_CORE, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_DDTYPE_CORE == 0);
	REGISTER_LONG_CONSTANT("TARVO_DDTYPE_COR1", TARVO_DDTYPE_COR1, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_DDTYPE_COR1 == 1);
	REGISTER_LONG_CONSTANT("TARVO_DDTYPE_B2B", TARVO_DDTYPE_B2B, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_DDTYPE_B2B == 2);
	REGISTER_LONG_CONSTANT("TARVO_MSGTYPE_CTI", TARVO_MSGTYPE_CTI, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_MSGTYPE_CTI == 2);
	REGISTER_LONG_CONSTANT("TARVO_MSGTYPE_DDI", TARVO_MSGTYPE_DDI, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_MSGTYPE_DDI == 1);
	REGISTER_LONG_CONSTANT("TARVO_INIT_RULEBOOK", TARVO_INIT_RULEBOOK, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_INIT_RULEBOOK == 3);
	REGISTER_LONG_CONSTANT("TARVO_SCL_SCT", TARVO_SCL_SCT, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_SCL_SCT == 1);
	REGISTER_LONG_CONSTANT("TARVO_SCL_SDD", TARVO_SCL_SDD, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_SCL_SDD == 2);
	REGISTER_LONG_CONSTANT("TARVO_SCL_COR1", TARVO_SCL_COR1, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_SCL_COR1 == 4);
	REGISTER_LONG_CONSTANT("TARVO_SCL_B2B", TARVO_SCL_B2B, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_SCL_B2B == 8);
	REGISTER_LONG_CONSTANT("TARVO_STMT_FORMAT_MT940", TARVO_STMT_FORMAT_MT940, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_STMT_FORMAT_MT940 == 1);
	REGISTER_LONG_CONSTANT("TARVO_STMT_FORMAT_CAMT", TARVO_STMT_FORMAT_CAMT, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_STMT_FORMAT_CAMT == 3);
	REGISTER_LONG_CONSTANT("TARVO_QR_QRBILL", TARVO_QR_QRBILL, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_QR_QRBILL == 1);
	REGISTER_LONG_CONSTANT("TARVO_QR_EPC", TARVO_QR_EPC, CONST_PERSISTENT);
	ZEND_ASSERT(TARVO_QR_EPC == 2);
}

static zend_class_entry *register_class_TARVOException(zend_class_entry *class_entry_Exception)
{
	zend_class_entry ce, *class_entry;

	INIT_CLASS_ENTRY(ce, "TARVOException", class_TARVOException_methods);
	class_entry = zend_register_internal_class_ex(&ce, class_entry_Exception);

	return class_entry;
}

static zend_class_entry *register_class_TARVO(void)
{
	zend_class_entry ce, *class_entry;

	INIT_CLASS_ENTRY(ce, "TARVO", class_TARVO_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);
	class_entry->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;

	return class_entry;
}

static zend_class_entry *register_class_TARVOStatementParser(void)
{
	zend_class_entry ce, *class_entry;

	INIT_CLASS_ENTRY(ce, "TARVOStatementParser", class_TARVOStatementParser_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);
	class_entry->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;

	return class_entry;
}

static zend_class_entry *register_class_TARVOReconciliation(void)
{
	zend_class_entry ce, *class_entry;

	INIT_CLASS_ENTRY(ce, "TARVOReconciliation", class_TARVOReconciliation_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);
	class_entry->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;

	return class_entry;
}

static zend_class_entry *register_class_TARVOStatusReport(void)
{
	zend_class_entry ce, *class_entry;

	INIT_CLASS_ENTRY(ce, "TARVOStatusReport", class_TARVOStatusReport_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);
	class_entry->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;

	return class_entry;
}

static zend_class_entry *register_class_TARVOPaymentFile(void)
{
	zend_class_entry ce, *class_entry;

	INIT_CLASS_ENTRY(ce, "TARVOPaymentFile", class_TARVOPaymentFile_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);
	class_entry->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;

	return class_entry;
}
