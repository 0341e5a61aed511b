// One line per tag of a SWF as the independent parser reads it (nested sprite tags indented).
import fs from 'node:fs';
import { parseSwf } from 'swf-parser';
import { TagType } from 'swf-types';
const movie = parseSwf(fs.readFileSync(process.argv[2]));
const h = movie.header;
const out = [`header ${h.swfVersion} ${h.frameCount} ${(h.frameSize.xMax - h.frameSize.xMin) / 20}x${(h.frameSize.yMax - h.frameSize.yMin) / 20}`];
const walk = (tags, indent) => {
  for (const t of tags) {
    let s = indent + (TagType[t.type] || String(t.type));
    if (t.id !== undefined) s += ` id=${t.id}`;
    if (t.width !== undefined) s += ` size=${t.width}x${t.height}`;
    if (t.frameCount !== undefined) s += ` frames=${t.frameCount}`;
    if (t.depth !== undefined) s += ` depth=${t.depth}`;
    if (t.characterId !== undefined) s += ` char=${t.characterId}`;
    if (t.clipDepth !== undefined) s += ` clip=${t.clipDepth}`;
    if (t.glyphs !== undefined) s += ` glyphs=${t.glyphs.length} name=${t.fontName}`;
    if (t.useGlyphFont !== undefined) s += ` html=${+t.html} outlines=${+t.useGlyphFont} noSelect=${+t.noSelect} font=${t.fontId} size=${t.fontSize}`;
    if (t.sampleCount !== undefined) s += ` format=${t.format} rate=${t.soundRate} bits=${t.soundSize} stereo=${t.soundType} samples=${t.sampleCount}`;
    if (t.soundInfo !== undefined) s += ` sound=${t.soundId} stop=${+t.soundInfo.syncStop}`;
    out.push(s);
    if (t.tags) walk(t.tags, indent + '  ');
  }
};
walk(movie.tags, '');
console.log(out.join('\n'));
