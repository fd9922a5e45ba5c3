// A window that plays a list through the TunaraXChat control, created by its ProgID, and shows
// the current title as each entry starts (event 4). The form's message loop carries the
// control's track changes and events.
using System;
using System.IO;
using System.Windows.Forms;

namespace TunaraSample
{
    public sealed class PlayerForm : Form
    {
        private readonly dynamic control;
        private readonly TunaraEventSink events;
        private readonly Label title = new Label { Dock = DockStyle.Top, Height = 32, Text = "Starting..." };
        private readonly Label state = new Label { Dock = DockStyle.Top, Height = 32 };

        public PlayerForm(string[] names)
        {
            Text = "TunaraXChat sample";
            Width = 480;
            Height = 140;
            Controls.Add(state);
            Controls.Add(title);

            control = Activator.CreateInstance(Type.GetTypeFromProgID("TunaraXChat.ITunaraActiveXChat", true));
            events = new TunaraEventSink(control);
            events.MessageArrived += OnMessage;
            events.StatusArrived += (msgId, comp) => { if (msgId == 230) state.Text = $"Buffering {comp} %"; };

            control.Initialize();
            if (names.Length == 0)
                names = new[] { Path.Combine(AppDomain.CurrentDomain.BaseDirectory, "media", "samples.m3u") };
            foreach (string name in names) control.AppendFileToPlaylist(name);
            state.Text = $"Playlist: {control.Nb_Playlist_Items} entries";
            Shown += (sender, e) => control.Play();
        }

        private void OnMessage(int msgId)
        {
            switch (msgId)
            {
                case 4:
                    object file = null, current = null;
                    control.GetCurrentPlaylistItem(ref file, ref current);
                    title.Text = $"Now playing: {current}";
                    break;
                case 5:
                    if (control.Status == 0) state.Text = "The list has played.";
                    break;
                case 101:
                case 102:
                case 104:
                    state.Text = $"Event {msgId}: an entry could not be played";
                    break;
            }
        }

        protected override void OnFormClosed(FormClosedEventArgs e)
        {
            events.Dispose();
            control.Deinitialize();
            base.OnFormClosed(e);
        }
    }
}
