// The page's .zip reader and writer, run in the browser that uses them: archives made on
// Japanese Windows name their files in Shift-JIS without saying so, exported saves must read
// back byte for byte, and a damaged entry is refused rather than handed on half-read.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { after, before, test } from 'node:test';

import { launchBrowser, serve } from './support.mjs';

let server;
let browser;
let page;
before(async () => {
  server = await serve();
  browser = await launchBrowser();
  page = await browser.newPage();
  await page.goto(server.url);
});
after(async () => {
  await browser.close();
  server.close();
});

// An archive from Python's zipfile: Shift-JIS names (no UTF-8 flag), stored and deflated.
function pythonZip(script) {
  return execFileSync('python3', ['-c', `
import io, sys, zipfile
out = io.BytesIO()
with zipfile.ZipFile(out, 'w') as z:
${script}
data = out.getvalue()
# zipfile writes every name that is not ASCII as flagged UTF-8: put the Windows bytes in after.
data = data.replace(b'XXXXXX/slot1.dat', 'セーブ/slot1.dat'.encode('cp932'))
sys.stdout.buffer.write(data)
`]).toString('base64');
}

test('Shift-JIS names and both packings read back as written', async () => {
  const archive = pythonZip(`
    z.writestr(zipfile.ZipInfo('XXXXXX/slot1.dat'), bytes(range(256)) * 40, zipfile.ZIP_DEFLATED)
    z.writestr(zipfile.ZipInfo('init.def'), b'10\\r\\n')`);
  const files = await page.evaluate(async (b64) => {
    const bytes = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
    const read = await OrvaneZip.read(bytes.buffer);
    return read.map((f) => ({ path: f.path, size: f.data.length, sum: f.data.reduce((a, v) => (a * 31 + v) >>> 0, 0) }));
  }, archive);
  const expectedSum = (bytes) => bytes.reduce((a, v) => (a * 31 + v) >>> 0, 0);
  const slot = Array.from({ length: 256 * 40 }, (_, i) => i % 256);
  assert.deepEqual(files, [
    { path: 'セーブ/slot1.dat', size: 10240, sum: expectedSum(slot) },
    { path: 'init.def', size: 4, sum: expectedSum([0x31, 0x30, 0x0d, 0x0a]) },
  ]);
});

test('an export reads back byte for byte, and a wrong size is refused', async () => {
  const result = await page.evaluate(async () => {
    const files = [
      { path: 'SAVE01.DAT', data: Uint8Array.from({ length: 3000 }, (_, i) => (i * 7) & 0xff) },
      { path: '変数/flags.dat', data: new Uint8Array([0, 1, 2]) },
      { path: 'empty', data: new Uint8Array(0) },
    ];
    const archive = await OrvaneZip.write(files).arrayBuffer();
    const back = await OrvaneZip.read(archive);
    const same = back.length === files.length && back.every((f, i) =>
      f.path === files[i].path && f.data.length === files[i].data.length && f.data.every((v, k) => v === files[i].data[k]));
    // The directory's size of the first entry, one byte larger than its data.
    const view = new DataView(archive);
    const directoryAt = view.getUint32(archive.byteLength - 22 + 16, true);
    view.setUint32(directoryAt + 24, 3001, true);
    let refusal = null;
    try {
      await OrvaneZip.read(archive);
    } catch (error) {
      refusal = error.message;
    }
    return { same, refusal };
  });
  assert.equal(result.same, true);
  assert.match(result.refusal, /SAVE01\.DAT unpacks to a different size .* damaged/);
});
