// Reading and writing .zip archives in the page, with the browser's own DecompressionStream for
// deflated entries. Only what games and save exports use: stored and deflated entries, no
// encryption, no ZIP64. Every refusal is a ZipError whose message says what is wrong.
'use strict';

class ZipError extends Error {}

const OrvaneZip = (() => {
  const kEndOfDirectory = 0x06054b50;
  const kDirectoryEntry = 0x02014b50;
  const kLocalHeader = 0x04034b50;
  // The end record is 22 bytes and may be followed by a comment of up to 65535 bytes.
  const kEndSearch = 22 + 0xffff;
  const kMaxEntries = 100000;

  function findEnd(view) {
    const last = view.byteLength - 22;
    for (let at = last; at >= 0 && at >= last - 0xffff; at--) {
      if (view.getUint32(at, true) === kEndOfDirectory) return at;
    }
    return -1;
  }

  function decodeName(bytes, utf8Flag) {
    if (utf8Flag) return new TextDecoder('utf-8').decode(bytes);
    // Archives made on Japanese Windows write names in Shift-JIS without saying so.
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch (e) {
      return new TextDecoder('shift_jis').decode(bytes);
    }
  }

  async function inflate(bytes) {
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  // The archive's files as [{path, data}], folders left out; throws ZipError.
  async function read(buffer) {
    const view = new DataView(buffer);
    if (view.byteLength < 22) throw new ZipError('the file is too short to be a .zip archive');
    const end = findEnd(view);
    if (end < 0) throw new ZipError('no .zip directory was found: the file is not a .zip archive, or it was cut short');
    const count = view.getUint16(end + 10, true);
    const directorySize = view.getUint32(end + 12, true);
    const directoryAt = view.getUint32(end + 16, true);
    if (count === 0xffff || directoryAt === 0xffffffff) throw new ZipError('ZIP64 archives are not supported');
    if (count > kMaxEntries) throw new ZipError('the archive lists too many files');
    if (directoryAt + directorySize > end) throw new ZipError('the .zip directory points past the end of the file: the archive is damaged');
    const files = [];
    let at = directoryAt;
    for (let i = 0; i < count; i++) {
      if (at + 46 > end || view.getUint32(at, true) !== kDirectoryEntry) throw new ZipError('the .zip directory is damaged (entry ' + (i + 1) + ')');
      const flags = view.getUint16(at + 8, true);
      const method = view.getUint16(at + 10, true);
      const packedSize = view.getUint32(at + 20, true);
      const size = view.getUint32(at + 24, true);
      const nameLength = view.getUint16(at + 28, true);
      const extraLength = view.getUint16(at + 30, true);
      const commentLength = view.getUint16(at + 32, true);
      const localAt = view.getUint32(at + 42, true);
      if (at + 46 + nameLength > end) throw new ZipError('the .zip directory is damaged (entry ' + (i + 1) + ')');
      const name = decodeName(new Uint8Array(buffer, at + 46, nameLength), (flags & 0x800) !== 0);
      const at0 = at;
      at += 46 + nameLength + extraLength + commentLength;
      if (name.endsWith('/')) continue;
      if (flags & 1) throw new ZipError(name + ' is encrypted; encrypted archives are not supported');
      if (localAt + 30 > buffer.byteLength || view.getUint32(localAt, true) !== kLocalHeader)
        throw new ZipError(name + ': its data is not where the directory says: the archive is damaged');
      const dataAt = localAt + 30 + view.getUint16(localAt + 26, true) + view.getUint16(localAt + 28, true);
      if (dataAt + packedSize > buffer.byteLength) throw new ZipError(name + ' is cut short: the archive is damaged');
      const packed = new Uint8Array(buffer, dataAt, packedSize);
      let data;
      if (method === 0) {
        data = packed.slice();
      } else if (method === 8) {
        try {
          data = await inflate(packed);
        } catch (e) {
          throw new ZipError(name + ' cannot be unpacked: the archive is damaged');
        }
      } else {
        throw new ZipError(name + ' is packed with method ' + method + ', which is not supported (only stored and deflated)');
      }
      if (data.length !== size) throw new ZipError(name + ' unpacks to a different size than the archive says: the archive is damaged');
      files.push({ path: name.replace(/\\/g, '/'), data, modified: fromDosTime(view.getUint16(at0 + 14, true), view.getUint16(at0 + 12, true)) });
    }
    return files;
  }

  const crcTable = (() => {
    const table = new Uint32Array(256);
    for (let n = 0; n < 256; n++) {
      let c = n;
      for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
      table[n] = c >>> 0;
    }
    return table;
  })();

  // An entry's time as archivers write it: local time to two seconds; null when none is
  // written (a date of zero), so that an archive says nothing rather than 1980 about its age.
  function fromDosTime(date, time) {
    if (date === 0) return null;
    return new Date(1980 + (date >> 9), ((date >> 5) & 15) - 1, date & 31, time >> 11, (time >> 5) & 63, (time & 31) * 2);
  }

  function toDosTime(when) {
    if (!(when instanceof Date) || isNaN(when) || when.getFullYear() < 1980) return [0, 0];
    return [((when.getFullYear() - 1980) << 9) | ((when.getMonth() + 1) << 5) | when.getDate(),
      (when.getHours() << 11) | (when.getMinutes() << 5) | (when.getSeconds() >> 1)];
  }

  function crc32(bytes) {
    let c = 0xffffffff;
    for (let i = 0; i < bytes.length; i++) c = crcTable[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
  }

  // An archive of [{path, data, modified (a Date, optional)}] with every entry stored, names in UTF-8.
  function write(files) {
    const encoder = new TextEncoder();
    const parts = [];
    const directory = [];
    let offset = 0;
    for (const file of files) {
      const name = encoder.encode(file.path);
      const crc = crc32(file.data);
      const local = new DataView(new ArrayBuffer(30));
      local.setUint32(0, kLocalHeader, true);
      local.setUint16(4, 20, true);
      local.setUint16(6, 0x800, true);
      const [dosDate, dosTime] = toDosTime(file.modified);
      local.setUint16(10, dosTime, true);
      local.setUint16(12, dosDate, true);
      local.setUint32(14, crc, true);
      local.setUint32(18, file.data.length, true);
      local.setUint32(22, file.data.length, true);
      local.setUint16(26, name.length, true);
      parts.push(new Uint8Array(local.buffer), name, file.data);
      const entry = new DataView(new ArrayBuffer(46));
      entry.setUint32(0, kDirectoryEntry, true);
      entry.setUint16(4, 20, true);
      entry.setUint16(6, 20, true);
      entry.setUint16(8, 0x800, true);
      entry.setUint16(12, dosTime, true);
      entry.setUint16(14, dosDate, true);
      entry.setUint32(16, crc, true);
      entry.setUint32(20, file.data.length, true);
      entry.setUint32(24, file.data.length, true);
      entry.setUint16(28, name.length, true);
      entry.setUint32(42, offset, true);
      directory.push(new Uint8Array(entry.buffer), name);
      offset += 30 + name.length + file.data.length;
    }
    const directorySize = directory.reduce((n, part) => n + part.length, 0);
    const endRecord = new DataView(new ArrayBuffer(22));
    endRecord.setUint32(0, kEndOfDirectory, true);
    endRecord.setUint16(8, files.length, true);
    endRecord.setUint16(10, files.length, true);
    endRecord.setUint32(12, directorySize, true);
    endRecord.setUint32(16, offset, true);
    return new Blob([...parts, ...directory, new Uint8Array(endRecord.buffer)], { type: 'application/zip' });
  }

  return { read, write, crc32 };
})();
