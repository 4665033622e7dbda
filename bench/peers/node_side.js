// The npm peers of `make bench-peers`: ibantools (IBAN check), sepa (pain.008 / pain.001
// built and serialised) and mt940js (MT940 parsing), on the inputs tarvo reads. Prints
// "RESULT <work> <peer> <figure>" lines and writes IBAN verdicts, one per input line.
'use strict';
const fs = require('fs');
const path = require('path');

const [input, verdictDir] = process.argv.slice(2);

// CPU seconds (user and system, all of the process's threads) of the fastest of `rounds`
// runs, as the C++ drivers count them.
function bestSeconds(rounds, pass) {
    let best = Infinity;
    for (let i = 0; i < rounds; i++) {
        const start = process.cpuUsage();
        pass();
        const used = process.cpuUsage(start);
        const took = (used.user + used.system) / 1e6;
        if (took < best) best = took;
    }
    return best;
}

function result(work, peer, figure) {
    console.log(`RESULT ${work} ${peer} ${figure.toPrecision(6)}`);
}

function lines(file) {
    return fs.readFileSync(path.join(input, file), 'utf8').split('\n').filter((l) => l.length > 0);
}

function ibans() {
    const { isValidIBAN } = require('ibantools');
    for (const work of ['ibans_mixed', 'ibans_de']) {
        const all = lines(`${work}.txt`);
        fs.writeFileSync(path.join(verdictDir, `${work}.ibantools`), all.map((i) => (isValidIBAN(i) ? '1' : '0')).join('\n') + '\n');
        let valid = 0;
        const s = bestSeconds(5, () => {
            for (const iban of all) if (isValidIBAN(iban)) valid++;
        });
        if (valid < 0) throw new Error('unreachable');
        result(work, 'ibantools', (s * 1e9) / all.length);
    }
}

// The same documents as tarvo builds: one payment block per collection date and sequence
// type (direct debits) or per execution date (transfers), every payment with its fields.
function payments() {
    const SEPA = require('sepa');
    const rows = lines('payments.tsv').map((l) => l.split('\t'));
    for (const directDebit of [true, false]) {
        const work = directDebit ? 'pain008' : 'pain001';
        let bytes = 0;
        const s = bestSeconds(3, () => {
            const doc = new SEPA.Document(directDebit ? 'pain.008.001.08' : 'pain.001.001.09');
            doc.grpHdr.id = 'PEERS-2026-12-08';
            doc.grpHdr.created = new Date();
            doc.grpHdr.initiatorName = 'Stadtwerke Musterstadt GmbH';
            const blocks = new Map();
            for (const [name, iban, bic, amount, e2e, mandate, mandateDate, seq, date, remittance] of rows) {
                const key = directDebit ? `${date} ${seq}` : date;
                let info = blocks.get(key);
                if (info === undefined) {
                    info = doc.createPaymentInfo();
                    if (directDebit) {
                        info.collectionDate = new Date(date);
                        info.sequenceType = seq;
                        info.creditorIBAN = 'DE89370400440532013000';
                        info.creditorBIC = 'COBADEFFXXX';
                        info.creditorName = 'Stadtwerke Musterstadt GmbH';
                        info.creditorId = 'DE98ZZZ09999999999';
                    } else {
                        info.requestedExecutionDate = new Date(date);
                        info.debtorIBAN = 'DE89370400440532013000';
                        info.debtorBIC = 'COBADEFFXXX';
                        info.debtorName = 'Stadtwerke Musterstadt GmbH';
                    }
                    doc.addPaymentInfo(info);
                    blocks.set(key, info);
                }
                const tx = info.createTransaction();
                if (directDebit) {
                    tx.debtorName = name;
                    tx.debtorIBAN = iban;
                    tx.debtorBIC = bic;
                    tx.mandateId = mandate;
                    tx.mandateSignatureDate = new Date(mandateDate);
                } else {
                    tx.creditorName = name;
                    tx.creditorIBAN = iban;
                    tx.creditorBIC = bic;
                }
                tx.amount = Number(amount);
                tx.remittanceInfo = remittance;
                tx.end2endId = e2e;
                info.addTransaction(tx);
            }
            bytes = doc.toString().length;
        });
        result(work, 'sepa', (s * 1e6) / rows.length);
        console.error(`${work}: ${rows.length} transactions, ${bytes} characters of XML`);
    }
}

function statements() {
    const { Parser } = require('mt940js');
    const file = path.join(input, 'statements.sta');
    const text = fs.readFileSync(file, 'utf8');
    let count = 0;
    const s = bestSeconds(2, () => {
        count = new Parser().parse(text).length;
    });
    if (count === 0) throw new Error('mt940js read no statement');
    result('mt940', 'mt940js', fs.statSync(file).size / 1048576 / s);
}

const works = { ibans, payments, statements };
for (const name of process.argv.slice(4)) works[name]();
